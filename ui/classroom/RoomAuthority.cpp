// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/classroom/RoomAuthority.h"

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QSaveFile>
#include <QSslCertificate>
#include <QTimer>

namespace vp7 {

QString AuthorityFingerprint(const QByteArray& certificate) {
    for (const QSsl::EncodingFormat format : {QSsl::Pem, QSsl::Der}) {
        const QSslCertificate read(certificate, format);
        if (!read.isNull())
            return QString::fromLatin1(
                QCryptographicHash::hash(read.toDer(), QCryptographicHash::Sha256).toHex());
    }
    return {};
}

std::variant<QString, QString> FetchRoomAuthority(const JoinTicket& ticket, const QString& folder,
                                                  bool german, std::chrono::milliseconds wait) {
    const auto refused = [german](const char* de, const char* en, const QString& detail = {}) {
        return std::variant<QString, QString>(std::in_place_index<1>,
                                              QString::fromUtf8(german ? de : en) + detail);
    };
    QUrl url;
    url.setScheme(ticket.webTls ? QStringLiteral("https") : QStringLiteral("http"));
    url.setHost(QString::fromStdString(ticket.address).remove(QLatin1Char('[')).remove(QLatin1Char(']')));
    url.setPort(ticket.webPort);
    url.setPath(QStringLiteral("/room-ca.crt"));
    QNetworkAccessManager network;
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    QNetworkReply* reply = network.get(request);
    QByteArray body;
    bool tooLarge = false;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, reply, &QNetworkReply::abort);
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [&] {
        body += reply->readAll();
        if (body.size() > kLargestAuthorityBytes) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    timer.start(wait);
    loop.exec();
    body += reply->readAll();
    const bool failed = reply->error() != QNetworkReply::NoError;
    const QString why = reply->errorString();
    reply->deleteLater();
    if (tooLarge || body.size() > kLargestAuthorityBytes)
        return refused("Der Klassenraum schickt kein Zertifikat.", "The room sends no certificate.");
    if (failed)
        return refused("Der Klassenraum ist nicht zu erreichen: ", "The room cannot be reached: ", why);
    if (AuthorityFingerprint(body) != QString::fromStdString(ticket.fingerprint))
        return refused("Der Klassenraum weist sich nicht aus wie auf dem Klassenblatt: nicht verbunden.",
                       "The room does not prove itself as the class sheet says: not connected.");
    const QString path =
        QDir(folder).filePath(QString::fromStdString(ticket.room) + QStringLiteral("-ca.crt"));
    QDir().mkpath(folder);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size() || !file.commit())
        return refused("Das Zertifikat des Klassenraums kann nicht gespeichert werden: ",
                       "The room's certificate cannot be kept: ", path);
    return std::variant<QString, QString>(std::in_place_index<0>, path);
}

} // namespace vp7
