#include "views/userguidewindow.h"

#include <QFile>
#include <QFileInfo>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {
const QSize kGuideSize(900, 700);
}

UserGuideWindow::UserGuideWindow(const QString &guidePath, const QStringList &searched, QWidget *parent)
    : QWidget(parent, Qt::Window), m_browser(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("userGuide"));
    setWindowTitle(tr("User guide"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    m_browser->setOpenExternalLinks(true);
    QFile file(guidePath);
    if (!guidePath.isEmpty() && file.open(QIODevice::ReadOnly)) {
        // Pictures in the guide are named relative to it.
        m_browser->setSearchPaths({QFileInfo(guidePath).absolutePath()});
        m_browser->setMarkdown(QString::fromUtf8(file.readAll()));
    } else {
        m_browser->setPlainText(tr("The user guide (README.md) was not found. Looked in:\n%1")
                                    .arg(searched.join(QLatin1Char('\n'))));
    }
    resize(kGuideSize);
}

QString UserGuideWindow::text() const {
    return m_browser->toPlainText();
}
