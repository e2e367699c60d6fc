#pragma once
// The Vellix PDF library: include this one header to use it.
//
//   Vellix::TVellix pdf;
//   pdf.SetFileName("/tmp/report.pdf");
//   pdf.BeginDoc();
//   ... draw on pdf.Canvas() ...
//   pdf.NewPage();
//   ...
//   pdf.EndDoc();
//
// Every header it includes lives under <vellix/...>; none of them pulls in a
// header of the libraries Vellix is built on (zlib, FreeType, fontconfig,
// libjpeg, libpng).

#include <vellix/Alignment.h>
#include <vellix/Application.h>
#include <vellix/Bitmap.h>
#include <vellix/BitmapCanvas.h>
#include <vellix/Brush.h>
#include <vellix/Canvas.h>
#include <vellix/CellStyle.h>
#include <vellix/CodePage.h>
#include <vellix/Color.h>
#include <vellix/Component.h>
#include <vellix/Document.h>
#include <vellix/DocumentTypes.h>
#include <vellix/Exception.h>
#include <vellix/Font.h>
#include <vellix/FormFile.h>
#include <vellix/Geometry.h>
#include <vellix/Graphic.h>
#include <vellix/Grid.h>
#include <vellix/JpegImage.h>
#include <vellix/Messages.h>
#include <vellix/PaperSizes.h>
#include <vellix/Pen.h>
#include <vellix/PngImage.h>
#include <vellix/Published.h>
#include <vellix/Stream.h>
#include <vellix/StringList.h>
#include <vellix/Table.h>
#include <vellix/ZlibError.h>
