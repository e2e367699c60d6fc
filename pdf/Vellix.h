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

#include "canvas/PdfCanvas.h"
#include "canvas/PdfImage.h"
#include "document/Messages.h"
#include "document/PaperSizes.h"
#include "document/PdfNumber.h"
#include "document/Vellix.h"
#include "encode/Ascii85.h"
#include "encode/ZlibBuffer.h"
#include "encode/ZlibStream.h"
#include "platform/Alignment.h"
#include "platform/Application.h"
#include "platform/Bitmap.h"
#include "platform/BitmapCanvas.h"
#include "platform/CodePage.h"
#include "platform/Brush.h"
#include "platform/Color.h"
#include "platform/Component.h"
#include "platform/Exception.h"
#include "platform/Font.h"
#include "platform/FontMetrics.h"
#include "platform/Geometry.h"
#include "platform/Graphic.h"
#include "platform/JpegImage.h"
#include "platform/Pen.h"
#include "platform/PngImage.h"
#include "platform/Stream.h"
#include "platform/StringList.h"
#include "text/PdfFont.h"
#include "text/PdfGrid.h"
#include "text/TextBox.h"
