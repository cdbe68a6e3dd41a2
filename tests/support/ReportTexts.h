// Reading a run's page model back as texts per band, for the layout tests.
#pragma once

#include <map>
#include <vector>

#include "reports/engine/PageModel.h"

namespace tarvel::test {

using BandText = std::map<QString, QString>;  ///< control name -> printed text

/// Every instance of `kind`, in page order, with the texts it printed.
inline std::vector<BandText> BandInstances(const PageModel& model, SectionKind kind) {
  std::vector<BandText> bands;
  for (const Page& page : model.pages) {
    for (const PageBand& band : page.bands) {
      if (band.section != kind) continue;
      auto& texts = bands.emplace_back();
      for (std::uint32_t t = band.firstText; t < band.firstText + band.textCount; ++t)
        texts[model.styles[page.texts[t].style].control] = page.Text(page.texts[t]).toString();
    }
  }
  return bands;
}

/// The texts of the last instance of `kind` (the footer, the title block of the last page).
inline BandText LastBand(const PageModel& model, SectionKind kind) {
  auto bands = BandInstances(model, kind);
  return bands.empty() ? BandText{} : bands.back();
}

/// The text of `control` in `band`, or "" when it printed nothing.
inline QString TextOf(const BandText& band, const char* control) {
  const auto it = band.find(QString::fromUtf8(control));
  return it == band.end() ? QString() : it->second;
}

}  // namespace tarvel::test
