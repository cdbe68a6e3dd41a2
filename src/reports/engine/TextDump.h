// A plain-text rendering of a PageModel, page by page and band by band, for tests and scripts.
#pragma once

#include <QString>

#include "reports/engine/PageModel.h"

namespace tarvel {

/// One block per page:
///   === page 1/3 ===
///   -- GroupHeader1 top=500 height=1500
///   Label1: 工單一覽表
/// Each printed text is "control: text" (empty texts and hidden controls do not print; lines carry
/// no text and are left out).
QString DumpText(const PageModel& model);

}  // namespace tarvel
