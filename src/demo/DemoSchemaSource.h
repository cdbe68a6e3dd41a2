// The built-in copy of demo/schema.sql (the source is generated at build time).
#pragma once

namespace tarvel::demo::detail {

/// The schema text, UTF-8, exactly as in demo/schema.sql.
const char* SchemaSqlUtf8();

}  // namespace tarvel::demo::detail
