// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/ClassSheet.h"

#include "ui/classroom/QrCode.h"

#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QTextOption>

namespace vp7 {
namespace {

constexpr int kColumns = 2;
constexpr int kRows = ClassSheet::kSeatsPerPage / kColumns;
constexpr int kDotsPerInch = 300;
constexpr double kMillimetresPerInch = 25.4;
constexpr double kMarginMm = 12;
constexpr double kHeaderMm = 20; // the heading and the line on what to do
constexpr double kGapMm = 3;
constexpr double kPaddingMm = 2;
constexpr double kHeadingPoints = 14, kInstructionPoints = 9;
constexpr double kSeatPoints = 11, kCodePoints = 17, kLinkPoints = 6;

QString Escaped(const std::string& text) {
    return QString::fromStdString(text).toHtmlEscaped();
}

double Dots(double mm) {
    return mm * kDotsPerInch / kMillimetresPerInch;
}

QFont Font(const QString& family, double points, bool bold) {
    QFont font(family);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The modules as squares of the page's own drawing, not an image a viewer would blur when scaling it.
void DrawQr(QPainter& painter, const QrCode& code, const QRectF& square) {
    const double module = square.width() / (code.Size() + 2 * QrCode::kQuietZone);
    painter.fillRect(square, Qt::white);
    for (int y = 0; y < code.Size(); ++y)
        for (int x = 0; x < code.Size(); ++x)
            if (code.Dark(x, y))
                painter.fillRect(QRectF(square.left() + (x + QrCode::kQuietZone) * module,
                                        square.top() + (y + QrCode::kQuietZone) * module, module, module),
                                 Qt::black);
}

} // namespace

ClassSheet::ClassSheet(RoomFile room, bool german) : room_(std::move(room)), german_(german) {}

int ClassSheet::Pages() const {
    return std::max<int>(1, (static_cast<int>(room_.seats.size()) + kSeatsPerPage - 1) / kSeatsPerPage);
}

QString ClassSheet::Heading(int page) const {
    QString heading = QString::fromUtf8(Text("Klassenraum %1 · Klassenliste", "Classroom %1 · class sheet"))
                          .arg(QString::fromStdString(room_.room));
    if (Pages() > 1)
        heading +=
            QString::fromUtf8(Text(" · Seite %1 von %2", " · page %1 of %2")).arg(page + 1).arg(Pages());
    return heading;
}

QString ClassSheet::Instruction() const {
    return QString::fromUtf8(Text("Den Link im Browser öffnen (oder den QR-Code scannen), oder den Code im "
                                  "Desktop-Programm unter Klassenraum → Mit Code beitreten… eingeben.",
                                  "Open the link in a browser (or scan the QR code), or type the code in the "
                                  "desktop program's Classroom → Join with code…"));
}

std::string ClassSheet::Html() const {
    QString html =
        QStringLiteral(
            "<!DOCTYPE html>\n<html lang=\"%1\"><head><meta charset=\"utf-8\"><title>%2</title><style>\n"
            "@page { size: A4; margin: 12mm; }\n"
            "body { font-family: sans-serif; margin: 0; }\n"
            "h1 { font-size: 14pt; margin: 0 0 1mm; } p.what { font-size: 9pt; margin: 0 0 4mm; }\n"
            "section { break-after: page; } section:last-child { break-after: auto; }\n"
            ".seats { display: grid; grid-template-columns: repeat(2, minmax(0, 1fr)); gap: 2mm; }\n"
            // Eight rows of 29 mm fit an A4 page below the heading.
            ".seat { display: flex; gap: 3mm; border: 0.3mm solid #888; padding: 1.5mm; height: 29mm; "
            "box-sizing: border-box; overflow: hidden; break-inside: avoid; }\n"
            ".seat > div { min-width: 0; }\n"
            ".qr { width: 25mm; height: 25mm; flex: none; }\n"
            ".name { font-weight: bold; font-size: 11pt; }\n"
            ".code { font-family: monospace; font-size: 17pt; font-weight: bold; "
            "letter-spacing: 0.08em; margin: 1mm 0; }\n"
            ".link { font-size: 6pt; word-break: break-all; }\n"
            "</style></head><body>\n")
            .arg(german_ ? QStringLiteral("de") : QStringLiteral("en"), Heading(0).toHtmlEscaped());
    for (int page = 0; page < Pages(); ++page) {
        html += QStringLiteral("<section><h1>%1</h1><p class=\"what\">%2</p><div class=\"seats\">\n")
                    .arg(Heading(page).toHtmlEscaped(), Instruction().toHtmlEscaped());
        const std::size_t first = static_cast<std::size_t>(page) * kSeatsPerPage;
        for (std::size_t i = first; i < std::min(room_.seats.size(), first + kSeatsPerPage); ++i) {
            const RoomSeat& seat = room_.seats[i];
            const std::string link = WriteJoinLink(SeatTicket(room_, seat));
            const auto qr = QrCode::Of(link);
            html += QStringLiteral("<div class=\"seat\">%1<div><div class=\"name\">%2</div>"
                                   "<div class=\"code\">%3</div><div class=\"link\">%4</div></div></div>\n")
                        .arg(qr ? QString::fromStdString(qr->Svg()) : QString(), Escaped(seat.seat),
                             Escaped(SeatCode(seat)), Escaped(link));
        }
        html += QStringLiteral("</div></section>\n");
    }
    return (html + QStringLiteral("</body></html>\n")).toStdString();
}

std::optional<QString> ClassSheet::WritePdf(const QString& path) const {
    QPdfWriter pdf(path);
    pdf.setResolution(kDotsPerInch);
    pdf.setTitle(Heading(0));
    pdf.setCreator(QStringLiteral("vp7sim"));
    if (!pdf.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                       QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm),
                                       QPageLayout::Millimeter)))
        return QStringLiteral("no A4 page");
    QPainter painter;
    if (!painter.begin(&pdf)) return QString::fromUtf8(Text("nicht schreibbar", "cannot be written"));
    const QRectF page =
        pdf.pageLayout().paintRectPixels(kDotsPerInch).translated(-Dots(kMarginMm), -Dots(kMarginMm));
    const double gap = Dots(kGapMm), padding = Dots(kPaddingMm);
    const double cellWidth = (page.width() - gap * (kColumns - 1)) / kColumns;
    const double cellHeight = (page.height() - Dots(kHeaderMm) - gap * (kRows - 1)) / kRows;
    const QString sans = QStringLiteral("DejaVu Sans"), mono = QStringLiteral("DejaVu Sans Mono");
    QTextOption wrapped;
    wrapped.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (int at = 0; at < Pages(); ++at) {
        if (at > 0) pdf.newPage();
        painter.setPen(Qt::black);
        painter.setFont(Font(sans, kHeadingPoints, true));
        const QRectF heading(page.left(), page.top(), page.width(), Dots(kHeaderMm) / 2);
        painter.drawText(heading, Qt::AlignLeft | Qt::AlignVCenter, Heading(at));
        painter.setFont(Font(sans, kInstructionPoints, false));
        painter.drawText(heading.translated(0, heading.height()), Instruction(), wrapped);
        for (int slot = 0; slot < kSeatsPerPage; ++slot) {
            const std::size_t index = static_cast<std::size_t>(at * kSeatsPerPage + slot);
            if (index >= room_.seats.size()) break;
            const RoomSeat& seat = room_.seats[index];
            const std::string link = WriteJoinLink(SeatTicket(room_, seat));
            const QRectF cell(page.left() + (slot % kColumns) * (cellWidth + gap),
                              page.top() + Dots(kHeaderMm) + (slot / kColumns) * (cellHeight + gap),
                              cellWidth, cellHeight);
            painter.setPen(QPen(Qt::gray, Dots(0.3)));
            painter.drawRect(cell);
            const QRectF inner = cell.adjusted(padding, padding, -padding, -padding);
            const QRectF square(inner.topLeft(), QSizeF(inner.height(), inner.height()));
            if (const auto qr = QrCode::Of(link)) DrawQr(painter, *qr, square);
            QRectF text = inner.adjusted(square.width() + padding, 0, 0, 0);
            painter.setPen(Qt::black);
            for (const auto& [line, font] :
                 {std::pair{QString::fromStdString(seat.seat), Font(sans, kSeatPoints, true)},
                  std::pair{QString::fromStdString(SeatCode(seat)), Font(mono, kCodePoints, true)}}) {
                painter.setFont(font);
                const QRectF used = painter.boundingRect(text, Qt::AlignLeft | Qt::AlignTop, line);
                painter.drawText(text, Qt::AlignLeft | Qt::AlignTop, line);
                text.setTop(used.bottom() + padding / 2);
            }
            painter.setFont(Font(sans, kLinkPoints, false));
            painter.drawText(text, QString::fromStdString(link), wrapped);
        }
    }
    if (!painter.end()) return QString::fromUtf8(Text("nicht schreibbar", "cannot be written"));
    return std::nullopt;
}

} // namespace vp7
