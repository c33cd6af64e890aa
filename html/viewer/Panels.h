// Host panels in text: a window that the host fills, standing in a line like a large character
// (the PANEL element, and OBJECT when the host wants it).
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "html/layout/sections/DocumentObjects.h"
#include "html/layout/sections/PageSections.h"
#include "html/layout/text/InlineObjects.h"
#include "platform/windows/ExtCtrls.h"

namespace html {

// The window of a panel object; hosts parent their own controls to it.
class ThvPanel : public plat::TPanel {
 public:
  explicit ThvPanel(plat::TComponent* owner) : plat::TPanel(owner) {}

  // Painting shows the panel only while this is set.
  uint8_t ShowPanel = 1;
};

class TPanelObj : public TFloatingObj, public TPageWindowObj {
 public:
  // Reads the attributes of a PANEL or OBJECT tag. Unless skipEvent is set the document's
  // PanelCreate hook is asked to fill the panel. The object joins the document's Panels.
  TPanelObj(TSectionList* document, bool skipEvent, TCellBasic* cell,
            const TAttributeList& attributes, int32_t position);
  ~TPanelObj() override;
  TPanelObj(const TPanelObj&) = delete;
  TPanelObj& operator=(const TPanelObj&) = delete;

  void ComputeSize(plat::TCanvas& canvas, int32_t availWidth, int32_t heightBase,
                   const TMyFont& font) override;
  void DrawInline(plat::TCanvas& canvas, const TInlinePlace& place) override;
  void DrawFloat(plat::TCanvas& canvas, int32_t x, int32_t top) override;
  plat::TWinControl* WindowControl() const override { return Panel.get(); }

  TSectionList* Document;
  int32_t PanelWidth = 0;  // the window's size once the host had it: the natural size
  int32_t PanelHeight = 0;
  std::unique_ptr<ThvPanel> Panel;

 private:
  // Moves the window to (x, y) (window coordinates) and shows or hides it as the host asked.
  void PlaceWindow(int32_t x, int32_t y);
};

}  // namespace html
