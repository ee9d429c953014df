#include "views/registertables.h"

#include <QDebug>
#include <QPushButton>
#include <QVBoxLayout>

#include "comm/driveregisters.h"
#include "map/presentation.h"
#include "views/auxholdingtable.h"
#include "views/bitregistertable.h"
#include "views/flatholdingtable.h"
#include "views/holdingsections.h"
#include "views/inputregistertable.h"
#include "views/ramparamtable.h"

namespace {
const int kAuxBase = driveregisters::kAuxStart;
}

RegisterTables::RegisterTables(const RegisterSet &registers, QWidget *owner)
    : QObject(owner),
      m_registers(registers),
      m_input(new InputRegisterTable(owner)),
      m_sections(new HoldingSections(owner)),
      m_flat(new FlatHoldingTable(owner)),
      m_aux(new AuxHoldingTable()),
      m_readAux(new QPushButton(tr("Read aux holdings"))),
      m_auxPanel(createAuxPanel(owner)),
      m_coils(new BitRegisterTable(owner)),
      m_discrete(new BitRegisterTable(owner)) {
    connect(m_sections, &HoldingSections::writeRequested, this, &RegisterTables::writeRequested);
    connect(m_sections, &HoldingSections::readRangeRequested, this, &RegisterTables::readRangeRequested);
    connect(m_aux, &AuxHoldingTable::writeRequested, this, &RegisterTables::writeRequested);
    connect(m_sections, &HoldingSections::editRejected, this, &RegisterTables::editRejected);
    connect(m_aux, &AuxHoldingTable::editRejected, this, &RegisterTables::editRejected);
    connect(m_readAux, &QPushButton::clicked, this, &RegisterTables::readAuxRequested);
}

QWidget *RegisterTables::createAuxPanel(QWidget *owner) {
    auto *panel = new QWidget(owner);
    auto *layout = new QVBoxLayout(panel);
    layout->addWidget(m_aux);
    layout->addWidget(m_readAux);
    return panel;
}

void RegisterTables::setupTableInputRegisters() {
    const MapOptions &options = m_registers.options;
    m_input->setup(m_registers.inputRegisters, options.col1Width, options.col2Width, options.col3Width);
}

void RegisterTables::setupTableHoldings() {
    m_flat->setup(m_registers.holdings);
}

void RegisterTables::setupHoldingSections(QObject *comboEventFilter) {
    const MapOptions &options = m_registers.options;
    HoldingSections::ColumnWidths widths;
    widths.label = options.col1Width;
    widths.value = options.col2Width;
    widths.unit = options.col3Width;
    m_sections->setup(m_registers.blocks, m_registers.holdings, m_registers.auxHoldings, widths,
                      comboEventFilter);
}

void RegisterTables::setupTableAuxHoldings() {
    m_aux->setup(m_registers.auxHoldings);
}

bool RegisterTables::setupTableCoils() {
    m_coils->setup(m_registers.coils, true);
    return !m_registers.coils.isEmpty();
}

bool RegisterTables::setupTableDiscreteInputs() {
    m_discrete->setup(m_registers.discreteInputs, false);
    return !m_registers.discreteInputs.isEmpty();
}

void RegisterTables::setupTableRAMparam(RamParamTable *table) {
    if (m_ram != nullptr) {
        disconnect(m_ram, nullptr, this, nullptr);
    }
    m_ram = table;
    m_ram->setup(m_registers.ramParams);
    m_ram->setWriteRefusal(m_writeRefusal);
    connect(m_ram, &RamParamTable::writeRequested, this, &RegisterTables::writeRequested);
    connect(m_ram, &RamParamTable::editRejected, this, &RegisterTables::editRejected);
}

QString RegisterTables::showInputWords(const QVector<uint16_t> &words) {
    return m_input->showWords(words);
}

void RegisterTables::showHoldingWords(int start, const QVector<uint16_t> &words) {
    if (start == 0) {
        const auto updates = presentation::applyHoldingWords(m_registers.holdings, words);
        if (updates.isEmpty()) {
            return;
        }
        m_flat->showUpdates(updates);
        m_sections->showHoldingUpdates(updates);
    } else if (start >= kAuxBase) {
        const int startIndex = start - kAuxBase;
        const auto updates = presentation::applyAuxWords(m_registers.auxHoldings, startIndex, words);
        m_aux->showUpdates(startIndex, updates);
        m_sections->showAuxUpdates(startIndex, updates);
    }
}

void RegisterTables::setWriteRefusal(const WriteRefusal &refusal) {
    m_writeRefusal = refusal;
    m_sections->setWriteRefusal(refusal);
    m_aux->setWriteRefusal(refusal);
    if (m_ram != nullptr) {
        m_ram->setWriteRefusal(refusal);
    }
}

void RegisterTables::applyAccessLevel() {
    const int position = m_registers.options.accessLevel;
    if (position >= m_registers.inputRegisters.size()) {
        return;
    }
    const int level = static_cast<int>(m_registers.inputRegisters[position]->fvalue);
    if (level < 0 || level > 3) {
        return;
    }
    m_sections->applyAccessLevel(level);
}
