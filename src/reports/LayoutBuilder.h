// Short constructors for layout designs, so a layout reads as its table of controls.
#pragma once

#include "reports/engine/ReportLayout.h"

namespace tarvel::layout {

/// Fonts as the layouts name them.
inline FontSpec Ming(double points, bool bold = false) {
  return {QStringLiteral("新細明體"), points, bold};
}
inline FontSpec Kai(double points, bool bold = false) {
  return {QStringLiteral("標楷體"), points, bold};
}

/// A label: fixed caption.
inline ControlDef LabelDef(const char* name, const char* caption, int left, int top, int width,
                           int height, FontSpec font, Alignment alignment = Alignment::Left) {
  return {.kind = ControlKind::Label,
          .name = QString::fromUtf8(name),
          .left = left,
          .top = top,
          .width = width,
          .height = height,
          .text = QString::fromUtf8(caption),
          .font = std::move(font),
          .alignment = alignment};
}

/// A field bound to `column` (empty for an unbound field).
inline ControlDef FieldDef(const char* name, const char* column, int left, int top, int width,
                           int height, FontSpec font, Alignment alignment = Alignment::Left,
                           const char* outputFormat = "") {
  return {.kind = ControlKind::Field,
          .name = QString::fromUtf8(name),
          .left = left,
          .top = top,
          .width = width,
          .height = height,
          .font = std::move(font),
          .alignment = alignment,
          .dataField = QString::fromUtf8(column),
          .outputFormat = QString::fromUtf8(outputFormat)};
}

/// A field showing the engine's sum (or count) of `column` over the report's GroupHeader1 group.
inline ControlDef TotalDef(const char* name, const char* column, SummaryFunction function, int left,
                           int top, int width, int height, FontSpec font,
                           Alignment alignment = Alignment::Right) {
  ControlDef control = FieldDef(name, column, left, top, width, height, std::move(font), alignment);
  control.summary = {function, SummaryRunning::Group, SectionKind::GroupHeader1};
  return control;
}

/// A horizontal rule from `left`, `width` twips long.
inline ControlDef RuleDef(const char* name, int left, int top, int width, int lineWidth = 15) {
  return {.kind = ControlKind::Line,
          .name = QString::fromUtf8(name),
          .left = left,
          .top = top,
          .width = width,
          .height = 0,
          .lineWidth = lineWidth};
}

/// `control` with its visible flag off (hidden in the design, still bound).
inline ControlDef Hidden(ControlDef control) {
  control.visible = false;
  return control;
}

}  // namespace tarvel::layout
