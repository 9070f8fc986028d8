#include "PanelHosting.h"

#include <QWidget>

#include <algorithm>

namespace YnqUtils {

void ClearPanel(QWidget* panel) {
    if (!panel) {
        return;
    }
    for (;;) {
        const auto children = panel->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        if (children.isEmpty()) {
            return;
        }
        QWidget* child = children.first();
        child->hide();
        child->setParent(nullptr);
    }
}

void PlaceFormInPanel(QWidget* form, QWidget* panel, int mode) {
    if (!form || !panel) {
        return;
    }
    panel->hide();
    ClearPanel(panel);
    form->hide();
    form->setParent(panel, Qt::Widget); // a borderless child of the panel
    switch (mode) {
    case kPlaceFill:
        form->setGeometry(panel->rect());
        break;
    case kPlaceTopLeft:
        form->move(0, 0);
        break;
    case kPlaceCentred:
        form->move(std::max(0, (panel->width() - form->width()) / 2),
                   std::max(0, (panel->height() - form->height()) / 2));
        break;
    default:
        break;
    }
    panel->update();
    form->show();
    panel->show();
}

} // namespace YnqUtils
