// A plain-text rendering of report pages, page by page and band by band, for tests and scripts.
#pragma once

#include <QString>

#include "reports/engine/PageModel.h"

class QIODevice;

namespace tarvel {

/// One block per page:
///   === page 1/3 ===
///   -- GroupHeader1 top=500 height=1500
///   Label1: 工單一覽表
/// Each printed text is "control: text" (empty texts and hidden controls do not print; lines carry
/// no text and are left out). The page count in every heading is the source's at the time, so
/// dump a run's pages once it has ended.
QString DumpText(const PageSource& pages);

/// The same text written to `device` in UTF-8 as the pages are read, in pieces, so a report of
/// any length is written in the memory of a few pages. Throws tarvel::Error when the device
/// refuses to be written.
void WriteText(const PageSource& pages, QIODevice& device);

}  // namespace tarvel
