#pragma once

#include <QObject>
#include <QVector>
#include <cstdint>

#include "app/registerset.h"
#include "views/writerefusal.h"

class AuxHoldingTable;
class BitRegisterTable;
class FlatHoldingTable;
class HoldingSections;
class InputRegisterTable;
class QPushButton;
class QWidget;
class RamParamTable;

// Every register table of the main window: built from the map's lists, fed with the
// worker's replies, and the source of the write and read requests that edits cause.
// Showing a received value never causes a write.
class RegisterTables : public QObject {
    Q_OBJECT
  public:
    // The widgets are created as children of owner until the docks take them.
    RegisterTables(const RegisterSet &registers, QWidget *owner);

    void setupTableInputRegisters();
    void setupTableHoldings();
    void setupHoldingSections(QObject *comboEventFilter);
    void setupTableAuxHoldings();
    // Return false when the map has no such registers (the dock is then removed).
    bool setupTableCoils();
    bool setupTableDiscreteInputs();
    void setupTableRAMparam(RamParamTable *table);

    // An ordinary input-register reply; returns its data-log values.
    QString showInputWords(const QVector<uint16_t> &words);
    // A holding reply: start 0 is the full normal poll, 1000 and above aux holdings.
    void showHoldingWords(int start, const QVector<uint16_t> &words);
    // Consulted by every editable table before it asks for a write (see WriteRefusal).
    void setWriteRefusal(const WriteRefusal &refusal);
    // Greys holdings above the level the drive reported in the previous reply.
    void applyAccessLevel();

    InputRegisterTable *inputRegisters() const { return m_input; }
    HoldingSections *holdingSections() const { return m_sections; }
    FlatHoldingTable *flatHoldings() const { return m_flat; }
    AuxHoldingTable *auxHoldings() const { return m_aux; }
    QWidget *auxPanel() const { return m_auxPanel; }
    QPushButton *readAuxButton() const { return m_readAux; }
    BitRegisterTable *coils() const { return m_coils; }
    BitRegisterTable *discreteInputs() const { return m_discrete; }
    RamParamTable *ramParams() const { return m_ram; }

  signals:
    void writeRequested(int address, uint16_t value, bool echo);
    void readRangeRequested(int start, int count);
    void readAuxRequested();
    // A value typed into any table that was not written, with the reason for the user.
    void editRejected(const QString &message);

  private:
    QWidget *createAuxPanel(QWidget *owner);

    const RegisterSet &m_registers;
    InputRegisterTable *m_input;
    HoldingSections *m_sections;
    FlatHoldingTable *m_flat;
    AuxHoldingTable *m_aux;
    QPushButton *m_readAux;
    QWidget *m_auxPanel;
    BitRegisterTable *m_coils;
    BitRegisterTable *m_discrete;
    RamParamTable *m_ram = nullptr;
    WriteRefusal m_writeRefusal;
};
