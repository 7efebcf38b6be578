#pragma once
// Loading and writing documents: rich text first, plain Shift-JIS text as the
// fall-back.  (Filled in by the document formats work.)
namespace tess {}
