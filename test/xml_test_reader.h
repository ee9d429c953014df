#pragma once

#include <QByteArray>
#include <QChar>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>
#include <cstdint>

#include "map/readwarning.h"

// Step kind codes. They travel with every step result and are written into the result
// log, so the numbers never change. Codes 3 to 8 are unused.
enum StepKind : int32_t {
    StepEspera = 0,
    StepMensaje = 1,
    StepImg = 2,
    StepComm = 9,
    StepReadInputRegisters = 10,
    StepReadHoldingRegisters = 11,
    StepWriteSingleRegister = 12,
    StepReadCoil = 13,
    StepReadDiscreteInput = 14,
    StepWriteSingleCoil = 15,
    StepIsCommUpdated = 16,
    StepDiffMeasureInitial = 17,
    StepDiffMeasureFinal = 18,
    StepStopIfAlarm = 19,
    StepSerialNumber = 20,
};

// The test file's element name for a step kind; empty for a code that names no kind.
QString stepElementName(int kind);

// One entry of the ordered step list: the kind and the position of the step's record in
// the list of its kind (always 0 for a serial-number step, which has no list).
struct test_step_t {
    int32_t kind = 0;
    int32_t index = 0;
};

struct read_input_t {
    QString nombre;
    int32_t add = 0;
    int32_t dir = 0;  // position in the input-register list
    float mult = 0.0f;
    float min = 0.0f;  // accepted scaled range, inclusive
    float max = 0.0f;
    bool interactivo = false;
    int32_t reintentos = 0;
    int32_t tiempo = 0;
};

struct read_holding_t {
    QString nombre;
    int32_t add = 0;
    int32_t dir = 0;  // position in the holding list
    int32_t dat = 0;  // expected raw value
    int32_t reintentos = 0;
    int32_t tiempo = 0;
};

struct write_register_t {
    QString nombre;
    QString tipo;
    int32_t add = 0;
    int32_t dir = 0;  // holding-register address, 0 to 255
    int32_t dat = 0;  // its low 16 bits are written
};

// A coil (ReadCoil) or discrete input (ReadDiscreteInput) check.
struct read_bit_t {
    QString nombre;
    int32_t add = 0;
    int32_t dir = 0;
    bool dat = false;  // expected state
};

struct write_coil_t {
    QString nombre;
    QString tipo;
    int32_t add = 0;   // Modbus server address the write goes to
    int32_t dir = 0;   // coil address
    uint16_t dat = 0;  // 0xFF00 on, 0 off
};

// Initial and final differential measurements share one list; `idx` ties a final
// measurement to the initial one stored in the same slot. `min`/`max` are the accepted
// range of the increment and only mean something in a final measurement.
struct diff_measure_t {
    QString nombre;
    int32_t add = 0;
    int32_t dir = 0;  // position in the input-register list
    int32_t idx = 0;
    float min = 0.0f;
    float max = 0.0f;
};

struct comm_step_t {
    QString nombre;
    bool connect = false;
};

struct TestConfig {
    QString com_port;
    int32_t com_timeout = 0;
    QString title;
    QString log_name;
    bool full_log = false;
    bool summary_log = false;
    bool result_log = false;
    int32_t cont_fails = 5;  // consecutive communication failures that abort a test
};

// What a serial number must look like: its length and its number of separator-delimited
// blocks.
struct SerialRule {
    int32_t numchar = 0;
    int32_t numparts = 0;
    QChar separator = QLatin1Char(' ');
};

// Everything a test file defines. Reading a file replaces the steps, the per-kind lists and
// the loop; config, serial rule and stopOnFail keep their values unless the file sets them.
struct TestDefinition {
    QVector<test_step_t> steps;
    QVector<int> espera;  // seconds
    QStringList mensaje;
    QStringList img;
    QVector<comm_step_t> comm;
    QVector<read_input_t> readInputs;
    QVector<read_holding_t> readHoldings;
    QVector<write_register_t> writeRegisters;
    QVector<read_bit_t> readCoils;
    QVector<read_bit_t> readDiscreteInputs;
    QVector<write_coil_t> writeCoils;
    QVector<int> isCommUpdated;            // seconds
    QVector<diff_measure_t> diffMeasures;  // kinds 17 and 18
    QVector<int> stopIfAlarm;              // input-register positions

    // Loop markers: the loop repeats the steps at positions loopStart - 1 .. loopStop - 1.
    int32_t loopIterations = -1;
    int32_t loopStart = -1;
    int32_t loopStop = -1;

    bool stopOnFail = false;
    TestConfig config;
    SerialRule serial;

    // Forgets the steps, their lists and the loop; keeps config, serial rule, stopOnFail.
    void clearSteps();
    // Number of records of a kind's list; -1 for the serial-number kind and unknown codes.
    int listSize(int kind) const;
};

// Reads a production-test definition file. A new reader is made for every test start.
class xml_test_reader : public QObject {
    Q_OBJECT
  public:
    explicit xml_test_reader(QObject *parent = nullptr);

    // False when the file cannot be opened or is not well-formed XML; the steps are then
    // left empty and the other settings unchanged.
    bool readTestFile(const QString &path, TestDefinition &def);
    bool readTestData(const QByteArray &xml, TestDefinition &def);

    // What the last read dropped or fell back on.
    const ReadWarnings &warnings() const { return warnings_; }

  private:
    bool parse(const QByteArray &xml, const QString &path, TestDefinition &def);

    ReadWarnings warnings_;
};
