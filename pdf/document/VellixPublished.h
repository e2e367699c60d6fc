#pragma once
// The published properties of TVellix, in declaration order: the properties
// a form file stores and the designer edits. TVellix::PublishedProperties()
// returns this table.
//
// Restoring a form applies them in this order, so the length unit comes
// before the page size and PaperSizeName last, which recomputes the size when
// it names a paper. Two values are restored differently from assigning them:
// NonEmbeddedFonts is filled into the component's own list, and a stored
// PaperSizeName "Custom" (which the setter refuses) keeps the stored
// PageHeight and PageWidth and marks the paper custom.

#include <vellix/Published.h>

namespace Vellix {

const TPublishedTable& VellixPublishedProperties();

}  // namespace Vellix
