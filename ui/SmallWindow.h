#pragma once
// The four small windows of the program (screen check, parameter table, setpoint scale, initialization
// info) as created at start; each grows its contents with the feature it belongs to.
#include <QDialog>

namespace vp7 {

class SmallWindow : public QDialog {
    Q_OBJECT
public:
    // `formName` is the window's component name; `clientSize` the client area it was designed with.
    SmallWindow(const QString& formName, const QString& title, QSize clientSize, QWidget* parent);
};

} // namespace vp7
