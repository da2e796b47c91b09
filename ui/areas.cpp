// SPDX-FileCopyrightText: 2026 The Torvane developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "areas.h"

#include <QRect>
#include <QString>
#include <algorithm>
#include <cstddef>

#include "layoutqt.h"

namespace ui {
namespace {

const Group& groupOf(Area area) {
    return *std::ranges::find(kGroups, area, &Group::area);
}

// The pixels of the window that an area's controls cover, those of the areas within it
// included.
QRect coveredBy(Area area) {
    QRect covered;
    for (const Control& control : kControls) {
        if (control.area == area || groupOf(control.area).within == area) {
            covered |= pixels(control.box);
        }
    }
    return covered;
}

QString groupName(const Group& group) {
    if (group.heading.empty()) {
        return text(group.name);
    }
    return text(std::ranges::find(kControls, group.heading, &Control::name)->text);
}

std::size_t slot(Area area) {
    return static_cast<std::size_t>(area);
}

}  // namespace

AreaGroups::AreaGroups(QWidget& window) {
    for (const Group& group : kGroups) {
        QWidget& parent = group.within == group.area ? window : of(group.within);
        auto* widget = new AreaGroup(&parent);
        const QString name = groupName(group);
        widget->setObjectName(name);
        widget->setAccessibleName(name);
        widget->setGeometry(seenFrom(parent, window, coveredBy(group.area)));
        groups_.at(slot(group.area)) = widget;
    }
}

AreaGroup& AreaGroups::of(Area area) const {
    return *groups_.at(slot(area));
}

}  // namespace ui
