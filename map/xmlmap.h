#pragma once

#include <QByteArray>
#include <QDomElement>
#include <QDomNode>
#include <QObject>
#include <QString>
#include <QVector>
#include <cstdint>
#include <memory>
#include <vector>

#include "map/descriptors.h"
#include "map/readwarning.h"

// Reads a register-map XML file into descriptor records.
//
// The reader owns every record it ever creates and frees them only in its destructor:
// clear() just empties the lists, so pointers already handed to the window, the worker
// or a dialog stay valid for as long as this object lives. Each read appends to the lists.
class xmlmap : public QObject {
    Q_OBJECT

  public:
    explicit xmlmap(QObject *parent = nullptr);
    ~xmlmap() override;

    // False only when the file cannot be opened or is too large (domguard::kMaxFileBytes).
    // Malformed XML reads nothing and returns true; wellFormed() tells.
    bool readMap(const QString &path);
    // Same as readMap on bytes already in memory; sourceName only labels debug output.
    bool readMapData(const QByteArray &xml, const QString &sourceName = {});
    // Fills the options from the children of an <options> element; always returns 0.
    int readOptions(const QDomNode &firstChild);
    // Empties the holding, input-register and RAM-parameter lists (blocks stay).
    void clear();

    // Everything dropped, abandoned or defaulted by the most recent read.
    const ReadWarnings &warnings() const { return m_warnings; }
    // Whether the most recent read found a well-formed XML document.
    bool wellFormed() const { return m_wellFormed; }

    // Each getter appends to `out` and returns its new size.
    int getHoldings(QVector<holding_t *> &out) const;
    int getAuxHoldings(QVector<holding_t *> &out) const;
    int getInputRegisters(QVector<input_reg_t *> &out) const;
    int getRamParams(QVector<holding_t *> &out) const;
    int getBlocks(QVector<block_t *> &out) const;
    int getCoils(QVector<coil_t *> &out) const;
    int getDiscreteInputs(QVector<coil_t *> &out) const;

    uint16_t getStopIndex() const { return m_stopIndex; }
    void getTestFile(QString &path) const { path = m_testFile; }
    uint16_t getAccessLevel() const { return m_accessLevel; }
    uint16_t getFlags() const { return m_flags; }
    int32_t getPowerId() const { return m_powerId; }
    int32_t getPowerIq() const { return m_powerIq; }
    int32_t getPowerVd() const { return m_powerVd; }
    int32_t getPowerVq() const { return m_powerVq; }
    int32_t getCol1Width() const { return m_col1Width; }
    int32_t getCol2Width() const { return m_col2Width; }
    int32_t getCol3Width() const { return m_col3Width; }
    QString getVersion() const { return m_version; }
    QString getModel() const { return m_model; }

    static constexpr uint16_t kNoPosition = 65535;

  private:
    void readBlock(const QDomElement &block);
    void readHolding(const QDomElement &element);
    bool readHoldingChild(const QDomElement &child, holding_t &holding, bool *stopChildren);
    void readSection(const QDomElement &section, bool (xmlmap::*readOne)(const QDomElement &));
    void readInputSection(const QDomElement &section);
    bool readInputRegister(const QDomElement &element);
    void readRamSection(const QDomElement &section);
    bool readRamParameter(const QDomElement &element);
    bool readItem(const QDomElement &element, QVector<item_t *> &items);
    void readOption(const QDomElement &option);
    int32_t readColourAttribute(const QDomElement &element, const QString &name);
    void checkPollLimits();
    int normalHoldingCount() const;

    void warn(const QDomNode &node, const QString &reason);
    void warn(int line, const QString &element, const QString &reason);

    holding_t *newHolding(holding_t &&source);
    input_reg_t *newInputRegister(input_reg_t &&source);

    std::vector<std::unique_ptr<holding_t>> m_holdingArena;
    std::vector<std::unique_ptr<input_reg_t>> m_inputArena;
    std::vector<std::unique_ptr<block_t>> m_blockArena;
    std::vector<std::unique_ptr<item_t>> m_itemArena;

    QVector<holding_t *> m_holdings;
    QVector<input_reg_t *> m_inputs;
    QVector<holding_t *> m_ramParams;
    QVector<block_t *> m_blocks;
    QVector<coil_t *> m_coils;
    QVector<coil_t *> m_discreteInputs;

    ReadWarnings m_warnings;
    bool m_wellFormed = false;

    QString m_version;
    QString m_model;
    uint16_t m_stopIndex = kNoPosition;
    QString m_testFile;
    uint16_t m_accessLevel = kNoPosition;
    uint16_t m_flags = kNoPosition;
    int32_t m_powerId = -1;
    int32_t m_powerIq = -1;
    int32_t m_powerVd = -1;
    int32_t m_powerVq = -1;
    int32_t m_col1Width = 200;
    int32_t m_col2Width = 100;
    int32_t m_col3Width = 50;
};
