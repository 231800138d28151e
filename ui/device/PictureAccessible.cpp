// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/device/PictureAccessible.h"

#include "model/PictureLayout.h"
#include "sim/Simulator.h"
#include "sim/display/LcdReadBack.h"
#include "ui/artwork/Artwork.h"
#include "ui/device/KeyboardHelp.h"
#include "ui/device/PictureWidget.h"
#include "ui/qt/Zoom.h"

#include <QAccessibleWidget>
#include <QPointer>

#include <array>

namespace vp7 {
namespace {

// The picture's elements: the three keys in key order, then the display.
constexpr int kDisplay = 3, kElements = 4;

bool German(const PictureWidget& picture) {
    return picture.Sim().state.Language == Language::German;
}

QString Tr(const PictureWidget& picture, const char* de, const char* en) {
    return QString::fromUtf8(German(picture) ? de : en);
}

// What the display shows, line by line, as a person reads it.
QString DisplayText(const PictureWidget& picture) {
    const LcdReading lcd = ReadLcd(picture.Sim().image1);
    return QString::fromStdString(lcd.upper).simplified() + QLatin1Char('\n') +
           QString::fromStdString(lcd.lower).simplified();
}

class PictureElement : public QAccessibleInterface {
public:
    PictureElement(PictureWidget* picture, int index) : picture_(picture), index_(index) {}

    bool isValid() const override { return picture_; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return picture_ ? picture_->window()->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(picture_); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override {
        return index_ == kDisplay ? QAccessible::StaticText : QAccessible::Button;
    }

    QString text(QAccessible::Text t) const override {
        if (!picture_) return {};
        if (index_ != kDisplay)
            return t == QAccessible::Name ? KeyAccessibleName(KeyOfIndex(index_), German(*picture_))
                                          : QString();
        if (t == QAccessible::Name || t == QAccessible::Value) return DisplayText(*picture_);
        if (t == QAccessible::Description) return Tr(*picture_, "Anzeige", "Display");
        return {};
    }

    QRect rect() const override {
        if (!picture_) return {};
        const Rect lcd = layout::LcdArea;
        const QRect local = index_ == kDisplay ? QRect(lcd.left, lcd.top, lcd.Width(), lcd.Height())
                                               : art::KeyPressedArea(index_);
        const QRect zoomed = FormZoom(picture_->Zoom())(local);
        return QRect(picture_->mapToGlobal(zoomed.topLeft()), zoomed.size());
    }

    QAccessible::State state() const override {
        QAccessible::State s;
        if (!picture_) {
            s.invalid = true;
            return s;
        }
        s.invisible = !picture_->isVisible();
        s.pressed = index_ != kDisplay && picture_->KeyHeld() == KeyOfIndex(index_);
        s.readOnly = index_ == kDisplay;
        return s;
    }

    // What a screen reader was last told the display shows.
    QString announced;

private:
    QPointer<PictureWidget> picture_;
    int index_;
};

class PictureAccessible : public QAccessibleWidget {
public:
    explicit PictureAccessible(PictureWidget* picture) : QAccessibleWidget(picture, QAccessible::Grouping) {}
    // Elements are owned by the accessibility cache once registered; they go with the picture's.
    ~PictureAccessible() override {
        for (const QAccessible::Id id : ids_)
            if (id) QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return kElements; }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= kElements) return nullptr;
        if (!ids_[index])
            ids_[index] = QAccessible::registerAccessibleInterface(new PictureElement(Picture(), index));
        return QAccessible::accessibleInterface(ids_[index]);
    }
    int indexOfChild(const QAccessibleInterface* element) const override {
        for (int i = 0; i < kElements; ++i)
            if (ids_[i] && QAccessible::accessibleInterface(ids_[i]) == element) return i;
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < kElements; ++i)
            if (QAccessibleInterface* element = child(i); element->rect().contains(x, y)) return element;
        return nullptr;
    }
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return Tr(*Picture(), "Stellungsregler KELDAR VP7", "KELDAR VP7 positioner");
        if (t == QAccessible::Description)
            return Tr(*Picture(), "Tasten: M oder Leertaste, Minus oder Pfeil links, Plus oder Pfeil rechts",
                      "Keys: M or Space, minus or Left arrow, plus or Right arrow");
        return QAccessibleWidget::text(t);
    }

    PictureWidget* Picture() const { return static_cast<PictureWidget*>(widget()); }

private:
    mutable std::array<QAccessible::Id, kElements> ids_{};
};

QAccessibleInterface* Factory(const QString&, QObject* object) {
    auto* picture = qobject_cast<PictureWidget*>(object);
    return picture && picture->IsDevicePicture() ? new PictureAccessible(picture) : nullptr;
}

} // namespace

void InstallPictureAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(Factory);
        return true;
    }();
    (void)installed;
}

void NotifyDisplayChanged(PictureWidget& picture) {
    if (!QAccessible::isActive()) return; // reading the display back costs time nobody listens to
    auto* display =
        static_cast<PictureElement*>(QAccessible::queryAccessibleInterface(&picture)->child(kDisplay));
    QString shown = DisplayText(picture);
    if (shown == display->announced) return;
    display->announced = std::move(shown);
    QAccessibleEvent changed(display, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

} // namespace vp7
