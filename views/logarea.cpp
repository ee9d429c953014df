#include "views/logarea.h"

#include <QMenu>
#include <QTextBlock>
#include <QTextCursor>

namespace {
const int kProgressCells = 50;
}

LogArea::LogArea(QWidget *parent) : QTextBrowser(parent) {
    setObjectName(QStringLiteral("textBrowser"));
    setReadOnly(true);
    QFont font(QStringLiteral("Consolas"));
    font.setStyleHint(QFont::Monospace);
    setFont(font);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(this, &QWidget::customContextMenuRequested, this, &LogArea::onRightButtonTestInfo);
}

QString LogArea::statusLine(bool timestamp, const QString &text, const QDateTime &now) {
    if (!timestamp) {
        return text;
    }
    return QStringLiteral("[%1] %2").arg(now.toString(QStringLiteral("dd/MM/yyyy - hh:mm:ss.zzz")), text);
}

QString LogArea::progressLine(float percent) {
    const int filled = static_cast<int>(percent / 2);
    QString cells;
    cells.reserve(kProgressCells);
    for (int i = 0; i < kProgressCells; ++i) {
        cells.append(i <= filled ? QLatin1Char('=') : QLatin1Char(' '));
    }
    return QStringLiteral("[%1] %2%").arg(cells).arg(static_cast<double>(percent), 0, 'f', 1);
}

void LogArea::appendLine(const QString &line) {
    append(line);
}

void LogArea::showProgress(float percent, bool startNew) {
    const QString line = progressLine(percent);
    if (startNew || document()->isEmpty()) {
        append(line);
    } else {
        replaceLastBlock(line);
    }
}

void LogArea::replaceLastBlock(const QString &line) {
    QTextCursor cursor(document()->lastBlock());
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(line);
}

void LogArea::setInteractionDisabled(bool disabled) {
    setTextInteractionFlags(disabled ? Qt::NoTextInteraction : Qt::TextBrowserInteraction);
}

void LogArea::onRightButtonTestInfo(const QPoint &pos) {
    QMenu menu(this);
    const QString selectAllText = tr("Select all");
    const QString copyText = tr("Copy");
    const QString clearText = tr("Clear text");
    menu.addAction(selectAllText);
    menu.addAction(copyText);
    menu.addAction(clearText);
    const QAction *chosen = menu.exec(mapToGlobal(pos));
    if (chosen == nullptr) {
        return;
    }
    if (chosen->text() == selectAllText) {
        selectAll();
    } else if (chosen->text() == copyText) {
        copy();
    } else if (chosen->text() == clearText) {
        clear();
    }
}
