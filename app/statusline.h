#pragma once

#include <QString>
#include <QtGlobal>

// Texts of the status bar's connection summary.
namespace statusline {

// The line as the worker opens it: "115200 8N2". A speed the worker does not know runs at
// 9600, a framing index outside 0..3 as no parity and two stop bits; the text says so.
QString lineText(int speed, int framingIndex);
// Age of the last reply: "none yet" (negative age), "0.4 s ago" below 10 s, "12 s ago"
// below two minutes, "5 min ago" beyond.
QString replyAge(qint64 ageMs);
// "level 2 (distributor)"; "level unknown" before the drive has reported one.
QString accessLevel(int level);

}  // namespace statusline
