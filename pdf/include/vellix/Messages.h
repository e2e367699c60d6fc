#pragma once
// The library's message texts. Every error of the document, its canvas, fonts,
// images and grids is raised through TVellix::RaiseError with one of these,
// optionally followed by ": " and a detail (a property or file name).

namespace Vellix {

inline constexpr const char* MSG_ALREADY_OPEN = "PDF document already open";
inline constexpr const char* MSG_BAD_PARAMETERS = "Bad parameters for method";
inline constexpr const char* MSG_BAD_RECTANGLE = "Bad rectangle definition";
inline constexpr const char* MSG_ROW_OUT_OF_PAGE = "Grid row out of page";
inline constexpr const char* MSG_CANT_OPEN_FILE = "Can't open file";
inline constexpr const char* MSG_CANT_FIND_ACROBAT = "Can't find Adobe Acrobat";
inline constexpr const char* MSG_DOCUMENT_NOT_OPENED = "Document not opened";
inline constexpr const char* MSG_FILE_LOCKED = "File locked";
inline constexpr const char* MSG_FILE_NOT_FOUND = "File not found";
inline constexpr const char* MSG_GRID_COLS_NOT_DEFINED = "Grid Cols not defined";
inline constexpr const char* MSG_GRID_TOO_WIDE = "Grid too wide";
inline constexpr const char* MSG_INVALID_CELL = "Invalid cell";
inline constexpr const char* MSG_INVALID_GRID_NAME = "Invalid Grid name";
inline constexpr const char* MSG_INVALID_METHOD_CALL = "Invalid method call";
inline constexpr const char* MSG_INVALID_PROPERTY = "Invalid property value";
inline constexpr const char* MSG_INTERNAL_ERROR = "Internal error";
inline constexpr const char* MSG_NO_BROWSER = "Can't find Internet Browser";
inline constexpr const char* MSG_NOT_TRUETYPE = "This font is not TrueType";
// Not in the classic table: memory that could not be had for an image.
inline constexpr const char* MSG_OUT_OF_MEMORY = "Not enough memory";
// Not in the classic table: links, named destinations and outline entries.
inline constexpr const char* MSG_DUPLICATE_DESTINATION = "Duplicate destination";
inline constexpr const char* MSG_UNDEFINED_DESTINATION = "Undefined destination";
inline constexpr const char* MSG_INVALID_PAGE = "Invalid page number";
// Not in the classic table: Unicode text. A font whose licence forbids
// embedding cannot draw Unicode text (raised); a character that no installed
// font has is drawn as the font's missing glyph and shown once per document
// through Application::ShowMessage, followed by ": U+" and its code.
inline constexpr const char* MSG_FONT_NOT_EMBEDDABLE = "This font may not be embedded";
inline constexpr const char* MSG_MISSING_CHARACTER = "No installed font has the character";
inline constexpr const char* MSG_READ_ONLY_WHEN_PRINTING = "Can't modify property when printing";
inline constexpr const char* MSG_WRITE_ERROR = "File write error, or disk full";

}  // namespace Vellix
