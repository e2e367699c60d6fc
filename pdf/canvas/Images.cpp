#include "canvas/PdfCanvas.h"
#include "document/Vellix.h"

namespace Vellix {

int32_t TPdfCanvas::WriteImage(TPdfImage&) { FOwner.RaiseError(MSG_INTERNAL_ERROR); }

}  // namespace Vellix
