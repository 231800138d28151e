// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The certificate authority of a room whose broker speaks TLS, fetched from the room's own web server
// (`room-ca.crt` beside the page) and taken only when its SHA-256 is the fingerprint the class sheet's
// link carries: no file is copied to a seat, and a server that hands out another authority is refused.
#include "classroom/JoinTicket.h"

#include <QString>

#include <chrono>
#include <variant>

namespace vp7 {

// An authority's certificate is a few kilobytes; more is no certificate of ours.
inline constexpr qint64 kLargestAuthorityBytes = 64 * 1024;
inline constexpr std::chrono::milliseconds kAuthorityWait{10000};

// Fetches the room's authority and keeps it in `folder` as ROOM-ca.crt; its path, or why not (in the
// language asked for).
std::variant<QString, QString> FetchRoomAuthority(const JoinTicket& ticket, const QString& folder,
                                                  bool german,
                                                  std::chrono::milliseconds wait = kAuthorityWait);
// The fingerprint of a certificate in PEM or DER as the link writes it: SHA-256 of its DER, lower-case
// hex; empty when the bytes hold no certificate.
QString AuthorityFingerprint(const QByteArray& certificate);

} // namespace vp7
