#include "params/paramfiledialog.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QScrollBar>
#include <QTableWidget>
#include <algorithm>
#include <initializer_list>

#include "map/xmlmap.h"
#include "params/paramfile_io.h"
#include "ui_paramfiledialog.h"

namespace {

constexpr int kRowHeight = 20;
const QString kNotCompared = QStringLiteral("---");

void prepareTable(QTableWidget *table, std::initializer_list<int> widths) {
    table->setColumnCount(int(widths.size()));
    table->horizontalHeader()->hide();
    int column = 0;
    for (int width : widths) {
        table->setColumnWidth(column++, width);
    }
}

void setReadOnlyCell(QTableWidget *table, int row, int column, const QString &text) {
    QTableWidgetItem *item = table->item(row, column);
    if (item == nullptr) {
        table->setItem(row, column, new QTableWidgetItem());
        item = table->item(row, column);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    }
    item->setText(text);
}

// Values with their units are wider than raw words: the column grows to show each whole, and
// the table with it, so that the marks beside the values stay in sight.
void fitValueColumn(QTableWidget *table) {
    const int width = table->columnWidth(1);
    table->resizeColumnToContents(1);
    table->setColumnWidth(1, std::max(width, table->columnWidth(1)));
    int needed = table->verticalHeader()->sizeHint().width() +
                 table->verticalScrollBar()->sizeHint().width() + 2 * table->frameWidth();
    for (int column = 0; column < table->columnCount(); ++column) {
        needed += table->columnWidth(column);
    }
    table->setMinimumWidth(needed);
}

// One row per register, headed by its address.
void setRows(QTableWidget *table, const QStringList &addresses) {
    table->setRowCount(addresses.size());
    table->setVerticalHeaderLabels(addresses);
    for (int row = 0; row < addresses.size(); ++row) {
        table->setRowHeight(row, kRowHeight);
    }
}

QString chooseParameterFile(QWidget *parent) {
    return QFileDialog::getOpenFileName(parent, QCoreApplication::translate("ParamFile", "Seleccione XML"),
                                        QDir::currentPath(), QStringLiteral("XML (*.xml)"));
}

bool confirmFirmwareDefaults(QWidget *parent) {
    QMessageBox box(parent);
    box.setIcon(QMessageBox::Warning);
    box.setText(QCoreApplication::translate(
        "ParamFile",
        "WARNING: you will lose the current parametrization and go back to the firmware defaults. "
        "Firmware defaults may not be the correct ones for your motor; consult your distributor "
        "if you are unsure."));
    box.setInformativeText(
        QCoreApplication::translate("ParamFile", "Do you want to set the default parameters?"));
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

}  // namespace

ParamFilePrompts ParamFilePrompts::interactive() {
    return ParamFilePrompts{chooseParameterFile, confirmFirmwareDefaults};
}

ParamFile::ParamFile(QWidget *parent, ParamFilePrompts prompts)
    : QDialog(parent), ui(new Ui::ParamFile), m_prompts(std::move(prompts)), m_map(new xmlmap(this)) {
    ui->setupUi(this);
    ui->progressBar->setRange(0, 100);
    ui->progressBar->setValue(0);
    ui->labLoadError->hide();
    prepareTable(ui->tW_Holdings, {150, 70});
    prepareTable(ui->tW_Holdings_2, {150, 70, 20});
    chooseAndLoad();
    ui->progressBar->hide();
}

ParamFile::~ParamFile() {
    delete ui;
}

void ParamFile::chooseAndLoad() {
    const QString path = m_prompts.chooseFile ? m_prompts.chooseFile(this) : QString();
    if (!path.isEmpty()) {
        loadParamFile(path);
    }
}

bool ParamFile::loadParamFile(const QString &path) {
    ParamFileContents contents;
    if (!readParamFile(path, &contents)) {
        showLoadError(tr("Error: parameter file %1 not loaded (%2)").arg(path, contents.error));
        return false;
    }
    m_loadError.clear();
    ui->labLoadError->hide();
    m_loaded = true;
    m_filePath = path;
    m_fileHoldings = contents.holdings;
    m_loadWarnings = contents.warnings;
    ui->edFileName->setText(path);
    ui->edFileXMLParameters->setText(contents.meta.file);
    ui->edDate->setText(contents.meta.datetime);
    ui->edModel->setText(contents.meta.model);
    ui->edVersion->setText(contents.meta.version);
    fillFileTable();
    // A list computed for the previous file must never be sent for this one.
    if (m_haveDriveValues) {
        compare();
    } else {
        clearComparison();
    }
    emit fileLoaded(path);
    return true;
}

void ParamFile::showLoadError(const QString &message) {
    m_loadError = message;
    ui->labLoadError->setText(message);
    ui->labLoadError->show();
    emit loadFailed(message);
}

void ParamFile::fillFileTable() {
    QTableWidget *table = ui->tW_Holdings;
    QStringList addresses;
    for (const holding_t &holding : m_fileHoldings) {
        addresses << QString::number(holding.add);
    }
    setRows(table, addresses);
    for (int row = 0; row < m_fileHoldings.size(); ++row) {
        setReadOnlyCell(table, row, 0, m_fileHoldings[row].text);
    }
    showFileValues();
    ui->tW_Coils->setVisible(!m_fileCoils.isEmpty());
}

// The file's values scaled by the map's holding at each position, so the two sides read alike.
void ParamFile::showFileValues() {
    for (int row = 0; row < m_fileHoldings.size() && row < ui->tW_Holdings->rowCount(); ++row) {
        setReadOnlyCell(ui->tW_Holdings, row, 1,
                        comparedValueText(m_driveHoldings.value(row), m_fileHoldings[row].value));
    }
    fitValueColumn(ui->tW_Holdings);
}

void ParamFile::setDeviceInfo(uint16_t version, uint16_t model) {
    ui->edModel_2->setText(QString::number(model));
    ui->edVersion_2->setText(QString::number(version));
}

void ParamFile::setMapPath(const QString &path) {
    m_mapPath = path;
    m_map->clear();
    if (m_map->readMap(path)) {
        m_driveHoldings.clear();
        m_map->getHoldings(m_driveHoldings);
        m_driveCoils.clear();
        m_map->getCoils(m_driveCoils);
    }
    qDebug() << "param_path:" << path;
    qDebug() << "holdings:" << m_driveHoldings.size();
    // The map's records carry defaults, not the drive's values.
    m_haveDriveValues = false;
    fillDriveTable();
    showFileValues();
    clearComparison();
}

void ParamFile::fillDriveTable() {
    QTableWidget *table = ui->tW_Holdings_2;
    table->clearContents();
    QStringList addresses;
    for (const holding_t *holding : m_driveHoldings) {
        addresses << (holding != nullptr ? QString::number(holding->add) : QString());
    }
    setRows(table, addresses);
    for (int row = 0; row < m_driveHoldings.size(); ++row) {
        const holding_t *holding = m_driveHoldings[row];
        if (holding == nullptr) {
            continue;
        }
        setReadOnlyCell(table, row, 0, holding->text);
        setReadOnlyCell(table, row, 1, comparedValueText(holding, uint16_t(holding->def)));
        setReadOnlyCell(table, row, 2, kNotCompared);
    }
    ui->tW_Coils_2->setVisible(!m_driveCoils.isEmpty());
}

void ParamFile::setDeviceHoldings(const QVector<holding_t *> &list) {
    // Labels and addresses come from the records themselves, in case the window's map is not
    // the one this dialog read.
    const bool sameRecords = list == m_driveHoldings;
    m_driveHoldings = list;
    m_haveDriveValues = true;
    if (!sameRecords) {
        fillDriveTable();
        showFileValues();
    }
    for (int row = 0; row < m_driveHoldings.size(); ++row) {
        if (m_driveHoldings[row] != nullptr) {
            setReadOnlyCell(ui->tW_Holdings_2, row, 1,
                            comparedValueText(m_driveHoldings[row], m_driveHoldings[row]->value));
        }
    }
    fitValueColumn(ui->tW_Holdings_2);
    compare();
}

void ParamFile::compare() {
    const DriveIdentityTexts identity{ui->edModel->text(), ui->edVersion->text(), ui->edModel_2->text(),
                                      ui->edVersion_2->text()};
    m_comparison = compareParameters(m_fileHoldings, m_driveHoldings, identity);
    showMarks();
    ui->textEdit->clear();
    for (const QString &line : m_comparison.summaryLines()) {
        ui->textEdit->append(line);
    }
    ui->pB_Send->setEnabled(m_comparison.canSend());
}

void ParamFile::clearComparison() {
    m_comparison = ParamComparison();
    showMarks();
    ui->textEdit->clear();
    ui->pB_Send->setEnabled(false);
}

// Rows past the compared positions go back to "---", also after a longer file was shown.
void ParamFile::showMarks() {
    QTableWidget *table = ui->tW_Holdings_2;
    for (int row = 0; row < table->rowCount(); ++row) {
        QString text = kNotCompared;
        QBrush background;
        if (row < m_comparison.compared()) {
            const bool same = m_comparison.marks[row] == ParamComparison::Mark::Same;
            text = same ? tr("ok") : tr("no");
            background = QBrush(same ? Qt::green : Qt::red);
        }
        setReadOnlyCell(table, row, 2, text);
        table->item(row, 2)->setBackground(background);
    }
}

void ParamFile::on_pushButton_clicked() {
    chooseAndLoad();
}

void ParamFile::on_pB_Send_clicked() {
    if (m_comparison.canSend()) {
        emit holdingListToSend(m_comparison.sendList);
    }
}

void ParamFile::on_pB_Cancel_clicked() {
    reject();
}

void ParamFile::on_pB_Defaults_clicked() {
    if (m_prompts.confirmDefaults && m_prompts.confirmDefaults(this)) {
        emit sendDefaults();
    }
}
