#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include "cli.h"
#include "commands.h"
#include "test/test_validation.h"
#include "test/xml_test_reader.h"

namespace {

const char kUsage[] = "check-test FILE [--map FILE] [--json]";

QJsonArray intsJson(const QVector<int> &values) {
    QJsonArray array;
    for (int v : values) {
        array.append(v);
    }
    return array;
}

template <typename T, typename F>
QJsonArray recordsJson(const QVector<T> &records, F toJson) {
    QJsonArray array;
    for (const T &r : records) {
        array.append(toJson(r));
    }
    return array;
}

QJsonObject readInputJson(const read_input_t &r) {
    return {{QStringLiteral("nombre"), r.nombre},
            {QStringLiteral("add"), r.add},
            {QStringLiteral("dir"), r.dir},
            {QStringLiteral("mult"), cli::jsonFloat(r.mult)},
            {QStringLiteral("min"), cli::jsonFloat(r.min)},
            {QStringLiteral("max"), cli::jsonFloat(r.max)},
            {QStringLiteral("interactivo"), r.interactivo},
            {QStringLiteral("reintentos"), r.reintentos},
            {QStringLiteral("tiempo"), r.tiempo}};
}

QJsonObject readHoldingJson(const read_holding_t &r) {
    return {{QStringLiteral("nombre"), r.nombre},
            {QStringLiteral("add"), r.add},
            {QStringLiteral("dir"), r.dir},
            {QStringLiteral("dat"), r.dat},
            {QStringLiteral("reintentos"), r.reintentos},
            {QStringLiteral("tiempo"), r.tiempo}};
}

QJsonObject writeRegisterJson(const write_register_t &r) {
    return {{QStringLiteral("nombre"), r.nombre},
            {QStringLiteral("tipo"), r.tipo},
            {QStringLiteral("add"), r.add},
            {QStringLiteral("dir"), r.dir},
            {QStringLiteral("dat"), r.dat}};
}

QJsonObject readBitJson(const read_bit_t &r) {
    return {{QStringLiteral("nombre"), r.nombre},
            {QStringLiteral("add"), r.add},
            {QStringLiteral("dir"), r.dir},
            {QStringLiteral("dat"), r.dat}};
}

QJsonObject writeCoilJson(const write_coil_t &r) {
    return {{QStringLiteral("nombre"), r.nombre},
            {QStringLiteral("tipo"), r.tipo},
            {QStringLiteral("add"), r.add},
            {QStringLiteral("dir"), r.dir},
            {QStringLiteral("dat"), r.dat}};
}

QJsonObject diffMeasureJson(const diff_measure_t &r) {
    return {{QStringLiteral("nombre"), r.nombre},
            {QStringLiteral("add"), r.add},
            {QStringLiteral("dir"), r.dir},
            {QStringLiteral("idx"), r.idx},
            {QStringLiteral("min"), cli::jsonFloat(r.min)},
            {QStringLiteral("max"), cli::jsonFloat(r.max)}};
}

QJsonObject commJson(const comm_step_t &r) {
    return {{QStringLiteral("nombre"), r.nombre}, {QStringLiteral("connect"), r.connect}};
}

QJsonObject configJson(const TestConfig &c) {
    return {{QStringLiteral("com_port"), c.com_port},     {QStringLiteral("com_timeout"), c.com_timeout},
            {QStringLiteral("title"), c.title},           {QStringLiteral("log_name"), c.log_name},
            {QStringLiteral("full_log"), c.full_log},     {QStringLiteral("summary_log"), c.summary_log},
            {QStringLiteral("result_log"), c.result_log}, {QStringLiteral("cont_fails"), c.cont_fails}};
}

QJsonObject definitionJson(const TestDefinition &def, const ReadWarnings &warnings) {
    QJsonArray steps;
    for (const test_step_t &s : def.steps) {
        steps.append(QJsonArray{s.kind, s.index});
    }
    return {
        {QStringLiteral("steps"), steps},
        {QStringLiteral("loop"), QJsonObject{{QStringLiteral("iterations"), def.loopIterations},
                                             {QStringLiteral("start"), def.loopStart},
                                             {QStringLiteral("stop"), def.loopStop}}},
        {QStringLiteral("stop_on_fail"), def.stopOnFail},
        {QStringLiteral("config"), configJson(def.config)},
        {QStringLiteral("serial"), QJsonObject{{QStringLiteral("numchar"), def.serial.numchar},
                                               {QStringLiteral("numparts"), def.serial.numparts},
                                               {QStringLiteral("separator"), QString(def.serial.separator)}}},
        {QStringLiteral("espera"), intsJson(def.espera)},
        {QStringLiteral("mensaje"), QJsonArray::fromStringList(def.mensaje)},
        {QStringLiteral("img"), QJsonArray::fromStringList(def.img)},
        {QStringLiteral("comm"), recordsJson(def.comm, commJson)},
        {QStringLiteral("ReadInputRegisters"), recordsJson(def.readInputs, readInputJson)},
        {QStringLiteral("ReadHoldingRegisters"), recordsJson(def.readHoldings, readHoldingJson)},
        {QStringLiteral("WriteSingleRegister"), recordsJson(def.writeRegisters, writeRegisterJson)},
        {QStringLiteral("ReadCoil"), recordsJson(def.readCoils, readBitJson)},
        {QStringLiteral("ReadDiscreteInput"), recordsJson(def.readDiscreteInputs, readBitJson)},
        {QStringLiteral("WriteSingleCoil"), recordsJson(def.writeCoils, writeCoilJson)},
        {QStringLiteral("is_comm_updated"), intsJson(def.isCommUpdated)},
        // Initial and final measurements share one list, indexed by both step kinds.
        {QStringLiteral("differential_measure"), recordsJson(def.diffMeasures, diffMeasureJson)},
        {QStringLiteral("stop_if_alarm"), intsJson(def.stopIfAlarm)},
        {QStringLiteral("warnings"), cli::warningsJson(warnings)},
    };
}

void printText(const TestDefinition &def, const ReadWarnings &warnings) {
    cli::TextOut &o = cli::out();
    o << "steps (" << def.steps.size() << ")\n";
    for (int i = 0; i < def.steps.size(); ++i) {
        const test_step_t &s = def.steps.at(i);
        o << "  " << (i + 1) << ". " << stepElementName(s.kind) << " [" << s.kind << "," << s.index << "]\n";
    }
    o << "\nloop: iterations=" << def.loopIterations << " start=" << def.loopStart << " stop=" << def.loopStop
      << "\n";
    const TestConfig &c = def.config;
    o << "config: title=\"" << c.title << "\" full_log=" << c.full_log << " result_log=" << c.result_log
      << " summary_log=" << c.summary_log << " cont_fails=" << c.cont_fails << "\n";
    o << "serial: numchar=" << def.serial.numchar << " numparts=" << def.serial.numparts << " separator=\""
      << def.serial.separator << "\"\n";
    cli::printWarnings(warnings);
}

// The list counts the test is checked against: the map's, or none.
bool mapCounts(const QString &mapPath, int *inputCount, int *holdingCount) {
    *inputCount = kMapNotKnown;
    *holdingCount = kMapNotKnown;
    if (mapPath.isEmpty()) {
        return true;
    }
    cli::LoadedMap loaded;
    if (!cli::loadMap(mapPath, QStringLiteral("check-test"), &loaded)) {
        return false;
    }
    *inputCount = loaded.inputs.size();
    *holdingCount = loaded.holdings.size();
    return true;
}

}  // namespace

// Prints what the file holds; exits 1 when mvxctl test and the window would refuse it, with
// the reasons on stderr.
int runCheckTest(const QStringList &args) {
    QString path;
    QString mapPath;
    bool json = false;
    if (const int code = cli::fileArguments(args, QString::fromLatin1(kUsage), QStringLiteral("Test file"),
                                            &path, &json, &mapPath)) {
        return code;
    }
    int inputCount = 0;
    int holdingCount = 0;
    if (!mapCounts(mapPath, &inputCount, &holdingCount)) {
        return 1;
    }
    TestDefinition def;
    xml_test_reader reader;
    if (!reader.readTestFile(path, def)) {
        cli::err() << "mvxctl: cannot read test file '" << path << "'\n";
        for (const ReadWarning &w : reader.warnings()) {
            cli::err() << "  " << w.toString() << "\n";
        }
        return 1;
    }
    const QStringList problems = validateTestDefinition(def, inputCount, holdingCount);
    if (json) {
        QJsonObject object = definitionJson(def, reader.warnings());
        object.insert(QStringLiteral("problems"), QJsonArray::fromStringList(problems));
        cli::printJson(object);
    } else {
        printText(def, reader.warnings());
    }
    if (!problems.isEmpty()) {
        cli::err() << "mvxctl: the test file '" << path << "' would be refused:\n";
        for (const QString &problem : problems) {
            cli::err() << "  " << problem << "\n";
        }
        return 1;
    }
    return 0;
}
