#include "richtext/pages.h"

namespace tess::pages {

// Placeholder until the horizontal layout is written.
std::unique_ptr<Pages> horizontal(const QTextDocument&, QPaintDevice&, const QRectF&, const Setup&) { return nullptr; }

} // namespace tess::pages
