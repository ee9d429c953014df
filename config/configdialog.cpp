#include "config/configdialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

#include "ui_configdialog.h"

namespace {
const int32_t kSpeeds[] = {9600, 19200, 38400, 57600, 115200};
const int kSpeedCount = sizeof(kSpeeds) / sizeof(kSpeeds[0]);
}  // namespace

config::config(QWidget *parent) : QDialog(parent), ui(new Ui::config) {
    ui->setupUi(this);
    ui->ed_time->setToolTip(
        tr("Poll time in ms. 0: fast mode, each request goes out as soon as the previous answer is in"));
    for (int32_t bps : kSpeeds) {
        ui->cmbSpeed->addItem(tr("%1 bps").arg(bps));
    }
    ui->cmbConfig->addItem(tr("8bits / No parity / 2 bit stop"));
    ui->cmbConfig->addItem(tr("8bits / Odd par.  / 1 bit stop"));
    ui->cmbConfig->addItem(tr("8bits / Even par. / 1 bit stop"));
    ui->cmbConfig->addItem(tr("8bits / No parity / 1 bit stop"));
    setupRecordsGroup();
}

// Between the fields and the buttons; the dialog's layout gives it its own row.
void config::setupRecordsGroup() {
    auto *group = new QGroupBox(tr("Results database"), this);
    group->setObjectName(QStringLiteral("grp_records"));
    m_dbUrl = new QLineEdit(group);
    m_dbUrl->setObjectName(QStringLiteral("ed_dbUrl"));
    m_dbUrl->setPlaceholderText(tr("SQLite in the log folder"));
    m_dbUrl->setToolTip(
        tr("Where every test run is recorded: empty for an SQLite file in the log "
           "folder, sqlite:PATH, or postgresql://USER@HOST:PORT/DBNAME for a server "
           "shared by the line (password from ~/.pgpass or PGPASSWORD)."));
    m_station = new QLineEdit(group);
    m_station->setObjectName(QStringLiteral("ed_station"));
    m_station->setPlaceholderText(RecordsTarget::defaultStation());
    m_station->setToolTip(tr("Station name recorded with each run (empty: the host name)."));
    auto *row = new QHBoxLayout(group);
    row->addWidget(m_dbUrl, 2);
    row->addWidget(m_station, 1);
    ui->dialogLayout->insertWidget(ui->dialogLayout->indexOf(ui->buttonBox), group);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, [this] { emit change_records(records()); });
    m_reconnect = new QCheckBox(tr("Reconnect automatically"), this);
    m_reconnect->setObjectName(QStringLiteral("chk_reconnect"));
    ui->dialogLayout->insertWidget(ui->dialogLayout->indexOf(ui->buttonBox), m_reconnect);
    m_reconnect->setChecked(true);
    m_reconnect->setToolTip(
        tr("After a lost port or a dropped gateway connection, try again by itself (after "
           "1, 2, 4 ... 30 s, and at once when the port is back) until Disconnect."));
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, [this] { emit change_reconnect(reconnect()); });
}

void config::setReconnect(bool on) {
    m_reconnect->setChecked(on);
}

bool config::reconnect() const {
    return m_reconnect->isChecked();
}

void config::setRecords(const RecordsSettings &records) {
    m_dbUrl->setText(records.url);
    m_station->setText(records.station);
}

RecordsSettings config::records() const {
    return RecordsSettings{m_dbUrl->text().trimmed(), m_station->text().trimmed()};
}

config::~config() {
    delete ui;
}

int32_t config::speedForIndex(int index) {
    return (index >= 0 && index < kSpeedCount) ? kSpeeds[index] : 9600;
}

QString config::relativeToWorkingDir(const QString &path) {
    return QDir::current().relativeFilePath(path);
}

void config::setTime(int value) {
    ui->ed_time->setText(QString::number(value));
    time = value;
}

void config::setSpeed(int value) {
    int row = 0;
    for (int i = 1; i < kSpeedCount; ++i) {
        if (kSpeeds[i] == value) {
            row = i;
        }
    }
    ui->cmbSpeed->setCurrentIndex(row);
    speed = value;
}

void config::setCfg(int value) {
    ui->cmbConfig->setCurrentIndex(value);
    cfg = value;
}

void config::setLogging(bool value) {
    ui->chk_registrar->setChecked(value);
    enableLogDirectory(value);
    logging = value;
}

void config::setLog(const QString &value) {
    ui->ed_logDir->setText(value);
    log = value;
}

void config::setXml(const QString &value) {
    ui->edit_xml_inv->setText(value);
    xml = value;
}

void config::setNetworkLink(bool network) {
    const QString why =
        network ? tr("The port is a Modbus TCP gateway: its own serial line sets speed and framing. "
                     "The polling time is at least 100 ms.")
                : QString();
    for (QWidget *widget : {static_cast<QWidget *>(ui->lab_Speed), static_cast<QWidget *>(ui->cmbSpeed),
                            static_cast<QWidget *>(ui->lab_Config), static_cast<QWidget *>(ui->cmbConfig)}) {
        widget->setEnabled(!network);
        widget->setToolTip(why);
    }
}

void config::enableLogDirectory(bool enabled) {
    ui->ed_logDir->setEnabled(enabled);
    ui->btn_SelectLogDir->setEnabled(enabled);
}

void config::on_chk_registrar_stateChanged(int) {
    logging = ui->chk_registrar->isChecked();
    enableLogDirectory(logging);
}

QString config::chooseLogDirectory(const QString &startDir) {
    return QFileDialog::getExistingDirectory(this, tr("Select log directory"), startDir,
                                             QFileDialog::ShowDirsOnly);
}

QString config::chooseXmlFile() {
    return QFileDialog::getOpenFileName(this, tr("Select XML configuration file"), QDir::currentPath(),
                                        QStringLiteral("XML (*.xml)"));
}

void config::on_btn_SelectLogDir_clicked() {
    const QString chosen = chooseLogDirectory(ui->ed_logDir->text());
    if (chosen.isEmpty()) {
        return;
    }
    log = relativeToWorkingDir(chosen);
    ui->ed_logDir->setText(log);
}

void config::on_btn_SelectXML_clicked() {
    const QString chosen = chooseXmlFile();
    if (chosen.isEmpty()) {
        return;
    }
    xml = relativeToWorkingDir(chosen);
    ui->edit_xml_inv->setText(xml);
}

void config::on_buttonBox_accepted() {
    // A value typed into the time field and confirmed with the mouse may not have lost focus yet.
    on_ed_time_editingFinished();
    emit change_config(xml, log, logging, time, speed, cfg);
}

void config::on_cmbSpeed_currentIndexChanged(int index) {
    speed = speedForIndex(index);
}

void config::on_cmbConfig_currentIndexChanged(int index) {
    cfg = index;
}

void config::on_ed_time_editingFinished() {
    bool ok = false;
    const int value = ui->ed_time->text().toInt(&ok, 10);
    if (ok) {
        time = value;
    }
}
