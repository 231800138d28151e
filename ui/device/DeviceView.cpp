// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/device/DeviceView.h"

#include "session/Session.h"
#include "sim/display/Splash.h"
#include "sim/motion/Controller.h"
#include "ui/artwork/Artwork.h"
#include "ui/device/DeviceKeyboard.h"
#include "ui/device/PictureWidget.h"
#include "ui/qt/QtHost.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

namespace vp7 {
namespace {

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

// The help labels' background as the form stores it, blue in the high byte: RGB (202, 244, 145).
constexpr int kHelpLabelBgr = 9565386;
const QColor kHelpLabelBackground(kHelpLabelBgr & 0xFF, (kHelpLabelBgr >> 8) & 0xFF,
                                  (kHelpLabelBgr >> 16) & 0xFF);

// The red circles on latched keys, lying over the picture.
constexpr const char* kLatchCircles[] = {"StaticUmschalt", "StaticKleiner", "StaticGroesser"};

} // namespace

// Scroll bars appear only when a zoom shows the form larger than the screen.
DeviceView::DeviceView(Session& session, QtHost& host, QWidget* parent)
    : QScrollArea(parent), session_(&session), host_(host) {
    setObjectName(QStringLiteral("FormScroller"));
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    setWidgetResizable(true);
    form_ = new QWidget(this);
    form_->setObjectName(QStringLiteral("Client"));
    form_->setMinimumSize(kClientWidth, kClientHeight);
    form_->setMouseTracking(true);
    // Group captions sit on the frame's top line, as the window was designed, so the children's
    // positions inside their groups stay as laid out.
    form_->setStyleSheet(FormStyle(FormZoom(), *style()));
    setWidget(form_);
    BuildControls();
    keyboard_ = std::make_unique<DeviceKeyboard>(*this);
}

DeviceView::~DeviceView() = default;

Simulator& DeviceView::Sim() const {
    return session_->Sim();
}

void DeviceView::Show(Session& next) {
    // The held key is let go on the old device; the keyboard's release timer runs on the old clock.
    keyboard_->LetGo();
    keyboard_.reset();
    session_ = &next;
    Simulator& sim = Sim();
    picture_->Rebind(sim, sim.image1);
    splashView_->Rebind(sim, sim.splash.image2);
    keyboard_ = std::make_unique<DeviceKeyboard>(*this);
}

void DeviceView::SyncShown() {
    Sim().TakeViewChange();
    SyncFromForm();
}

void DeviceView::StopKeyboard() {
    keyboard_.reset();
}

void DeviceView::LetGoOfKeys() {
    keyboard_->LetGo();
}

Control& DeviceView::Current(const std::string& name) {
    changes_.Refresh(name);
    return *Sim().form.Find(name);
}

void DeviceView::UserClick(const std::string& name) {
    Sim().UserClick(Current(name));
    AfterEvent();
}

QWidget* DeviceView::MakeWidget(const Control& c, QWidget* parent) {
    const std::string name = c.name;
    switch (c.kind) {
    case ControlKind::CheckBox: {
        auto* w = new QCheckBox(Q(c.caption), parent);
        connect(w, &QCheckBox::clicked, this, [this, name](bool on) {
            Sim().UserCheck(Current(name), on);
            AfterEvent();
        });
        return w;
    }
    case ControlKind::RadioButton: {
        auto* w = new QRadioButton(Q(c.caption), parent);
        connect(w, &QRadioButton::clicked, this, [this, name] {
            Sim().UserCheck(Current(name), true);
            AfterEvent();
        });
        return w;
    }
    case ControlKind::RadioGroup: {
        auto* box = new QGroupBox(Q(c.caption), parent);
        auto* group = new QButtonGroup(box);
        for (int i = 0; i < static_cast<int>(c.items.size()); ++i)
            group->addButton(new QRadioButton(Q(c.items[i]), box), i); // placed with the form's zoom
        connect(group, &QButtonGroup::idClicked, this, [this, name](int i) {
            Sim().UserSelect(Current(name), i);
            AfterEvent();
        });
        return box;
    }
    case ControlKind::Group:
        return new QGroupBox(Q(c.caption), parent);
    case ControlKind::Edit: {
        auto* w = new QLineEdit(Q(c.text), parent);
        connect(w, &QLineEdit::textEdited, this,
                [this, name](const QString& t) { Sim().UserEdit(Current(name), t.toStdString()); });
        connect(w, &QLineEdit::returnPressed, this, [this, name] {
            Sim().UserKeyDown(Current(name), Controller::KeyEnter);
            AfterEvent();
        });
        return w;
    }
    case ControlKind::Button: {
        auto* w = new QPushButton(Q(c.caption), parent);
        if (c.name == "SetpointButton") w->setIcon(SetpointGlyph()); // sized with the form's zoom
        connect(w, &QPushButton::clicked, this, [this, name] { UserClick(name); });
        return w;
    }
    case ControlKind::Label: {
        auto* w = new QLabel(parent);
        if (c.name == "HilfeOben" || c.name == "HilfeUnten" || c.name == "HelpText") {
            w->setAutoFillBackground(true);
            w->setStyleSheet(
                QStringLiteral("background-color: %1; color: black;").arg(kHelpLabelBackground.name()));
            w->setFont(HelpLabelFont());
        }
        return w;
    }
    case ControlKind::StaticText:
        return new QLabel(Q(c.caption), parent);
    case ControlKind::Shape: {
        auto* w = new QLabel(parent);
        w->setStyleSheet(LatchCircleStyle(FormZoom()));
        return w;
    }
    case ControlKind::Image:
        if (c.name == "Image1") return picture_ = new PictureWidget(Sim(), Sim().image1, parent);
        return splashView_ = new PictureWidget(Sim(), Sim().splash.image2, parent);
    case ControlKind::MenuItem:
        break;
    }
    return nullptr;
}

void DeviceView::BuildControls() {
    for (Control* c : Sim().form.All()) {
        if (c->kind == ControlKind::MenuItem) continue;
        QWidget* parent = c->parent.empty() ? form_ : widgets_.at(c->parent);
        QWidget* w = MakeWidget(*c, parent);
        w->setObjectName(Q(c->name));
        if (c->width > 0)
            w->setGeometry(c->left, c->top, c->width, c->height);
        else
            w->move(c->left, c->top);
        widgets_[c->name] = w;
    }
    connect(picture_, &PictureWidget::PointerUsed, this, [this] { AfterEvent(); });
    for (const char* circle : kLatchCircles)
        widgets_.at(circle)->installEventFilter(this);
}

void DeviceView::Restrict(std::set<std::string> hidden, std::set<std::string> locked) {
    const bool moved = hidden != hidden_;
    hidden_ = std::move(hidden);
    locked_ = std::move(locked);
    if (moved) LayOutForm(); // the rows close up over what is hidden
    SyncFromForm();
}

void DeviceView::HoldForClient(std::set<std::string> held) {
    heldForClient_ = std::move(held);
    SyncFromForm();
}

// Once after every event delivered to the simulator: the widgets follow the form state when it
// changed, the pictures repaint what was drawn.
void DeviceView::AfterEvent() {
    if (Sim().TakeViewChange()) SyncChanges(changes_.Take(Sim().form));
    if (picture_) picture_->RepaintChanged();
    if (splashView_ && splashView_->isVisible()) splashView_->RepaintChanged();
    emit EventHandled();
}

// The red circles on latched keys lie over the picture and take presses and releases there; the
// simulator decides what the pointer reaches. Their drags go on to the window, as moves off the picture.
bool DeviceView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonRelease)
        return QScrollArea::eventFilter(watched, event);
    for (const char* circle : kLatchCircles) {
        if (watched != widgets_.at(circle)) continue;
        PictureWidget::DeliverPointer(Sim(), *widgets_.at(circle), *static_cast<QMouseEvent*>(event),
                                      zoom_.Factor());
        AfterEvent();
        return true;
    }
    return QScrollArea::eventFilter(watched, event);
}

void DeviceView::keyPressEvent(QKeyEvent* event) {
    event->ignore();
}

} // namespace vp7
