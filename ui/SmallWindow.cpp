#include "ui/SmallWindow.h"

namespace vp7 {

SmallWindow::SmallWindow(const QString& formName, const QString& title, QSize clientSize, QWidget* parent)
    : QDialog(parent, Qt::Tool) {
    setObjectName(formName);
    setWindowTitle(title);
    resize(clientSize);
}

} // namespace vp7
