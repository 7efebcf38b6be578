#include "richtext/pages.h"

namespace tess::pages {

// Placeholder until the vertical layout is written.
std::unique_ptr<Pages> vertical(const QTextDocument&, QPaintDevice&, const QRectF&, const Setup&) { return nullptr; }

} // namespace tess::pages
