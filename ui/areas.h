// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The areas of the window as groups of their controls (AreaGroup, accessibility.h): each
// named by its heading, covering its controls and no more, one within another area standing
// in that area's group.
#pragma once

#include <array>

#include "accessibility.h"
#include "layout.h"

namespace ui {

class AreaGroups final {
  public:
    // Makes every area's group in the window, in the order of kGroups.
    explicit AreaGroups(QWidget& window);

    [[nodiscard]] AreaGroup& of(Area area) const;

  private:
    std::array<AreaGroup*, kGroups.size()> groups_{};  // in the order of Area; owned by the window
};

}  // namespace ui
