#include "test/xml_test_reader.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDomDocument>
#include <QFile>
#include <QSet>
#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

#include "map/domguard.h"

QString stepElementName(int kind) {
    switch (kind) {
        case StepEspera:
            return QStringLiteral("espera");
        case StepMensaje:
            return QStringLiteral("mensaje");
        case StepImg:
            return QStringLiteral("img");
        case StepComm:
            return QStringLiteral("comm");
        case StepReadInputRegisters:
            return QStringLiteral("ReadInputRegisters");
        case StepReadHoldingRegisters:
            return QStringLiteral("ReadHoldingRegisters");
        case StepWriteSingleRegister:
            return QStringLiteral("WriteSingleRegister");
        case StepReadCoil:
            return QStringLiteral("ReadCoil");
        case StepReadDiscreteInput:
            return QStringLiteral("ReadDiscreteInput");
        case StepWriteSingleCoil:
            return QStringLiteral("WriteSingleCoil");
        case StepIsCommUpdated:
            return QStringLiteral("is_comm_updated");
        case StepDiffMeasureInitial:
            return QStringLiteral("differential_measure_initial");
        case StepDiffMeasureFinal:
            return QStringLiteral("differential_measure_final");
        case StepStopIfAlarm:
            return QStringLiteral("stop_if_alarm");
        case StepSerialNumber:
            return QStringLiteral("serial_number");
        default:
            return QString();
    }
}

void TestDefinition::clearSteps() {
    const TestDefinition empty;
    steps.clear();
    espera.clear();
    mensaje.clear();
    img.clear();
    comm.clear();
    readInputs.clear();
    readHoldings.clear();
    writeRegisters.clear();
    readCoils.clear();
    readDiscreteInputs.clear();
    writeCoils.clear();
    isCommUpdated.clear();
    diffMeasures.clear();
    stopIfAlarm.clear();
    loopIterations = empty.loopIterations;
    loopStart = empty.loopStart;
    loopStop = empty.loopStop;
}

int TestDefinition::listSize(int kind) const {
    switch (kind) {
        case StepEspera:
            return espera.size();
        case StepMensaje:
            return mensaje.size();
        case StepImg:
            return img.size();
        case StepComm:
            return comm.size();
        case StepReadInputRegisters:
            return readInputs.size();
        case StepReadHoldingRegisters:
            return readHoldings.size();
        case StepWriteSingleRegister:
            return writeRegisters.size();
        case StepReadCoil:
            return readCoils.size();
        case StepReadDiscreteInput:
            return readDiscreteInputs.size();
        case StepWriteSingleCoil:
            return writeCoils.size();
        case StepIsCommUpdated:
            return isCommUpdated.size();
        case StepDiffMeasureInitial:
        case StepDiffMeasureFinal:
            return diffMeasures.size();
        case StepStopIfAlarm:
            return stopIfAlarm.size();
        default:
            return -1;
    }
}

namespace {

// The value of an element is the text of its first child node.
QString elementValue(const QDomElement &element) {
    const QDomNode first = element.firstChild();
    return first.isText() ? first.nodeValue() : QString();
}

QDebug diagnostic() {
    return qDebug().noquote().nospace();
}

// Turns element texts into typed values, noting every text that does not parse.
class ValueReader {
  public:
    explicit ValueReader(ReadWarnings &warnings) : warnings_(warnings) {}

    void warn(const QDomElement &element, const QString &reason) {
        warnings_.append({element.lineNumber(), element.tagName(), reason});
    }

    // Assigns only when the text is a decimal integer.
    bool readInt(const QDomElement &element, int32_t &target) {
        bool ok = false;
        const int value = elementValue(element).toInt(&ok, 10);
        if (ok) {
            target = value;
        } else {
            warn(element, QCoreApplication::translate("xml_test_reader", "\"%1\" is not an integer, ignored")
                              .arg(elementValue(element)));
        }
        return ok;
    }

    bool readIntAsFloat(const QDomElement &element, float &target) {
        int32_t value = 0;
        if (!readInt(element, value)) {
            return false;
        }
        target = float(value);
        return true;
    }

    bool readFloat(const QDomElement &element, float &target) {
        bool ok = false;
        const float value = elementValue(element).toFloat(&ok);
        ok = ok && !std::isnan(value);
        if (ok) {
            target = value;
        } else {
            warn(element, QCoreApplication::translate("xml_test_reader", "\"%1\" is not a number, ignored")
                              .arg(elementValue(element)));
        }
        return ok;
    }

    // True exactly for one of the texts in `on`. A text in neither list is noted, unless
    // `off` is empty (fields nothing relies on).
    bool readFlag(const QDomElement &element, const QStringList &on, const QStringList &off) {
        const QString text = elementValue(element);
        if (on.contains(text)) {
            return true;
        }
        if (!off.isEmpty() && !off.contains(text)) {
            warn(element,
                 QCoreApplication::translate("xml_test_reader", "\"%1\" is not one of \"%2\", read as \"%3\"")
                     .arg(text, (on + off).join(QStringLiteral("\", \"")), off.first()));
        }
        return false;
    }

  private:
    ReadWarnings &warnings_;
};

const QStringList kTrueTexts{QStringLiteral("true")};
const QStringList kFalseTexts{QStringLiteral("false")};
const QStringList kBitOnTexts{QStringLiteral("true"), QStringLiteral("1")};
const QStringList kBitOffTexts{QStringLiteral("false"), QStringLiteral("0")};
constexpr uint16_t kCoilOn = 0xFF00;

// One child element a record understands. A required field is one the test engine uses.
struct FieldBinding {
    const char *tag;
    std::function<void(const QDomElement &)> assign;
    bool required;
};
using FieldBindings = std::vector<FieldBinding>;

// Walks the record's children in document order, so a repeated child overwrites.
void readFields(const QDomElement &record, const FieldBindings &fields, ValueReader &values) {
    QSet<QString> seen;
    for (QDomElement child = record.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        const QString tag = child.tagName();
        const auto field = std::find_if(fields.begin(), fields.end(),
                                        [&](const FieldBinding &f) { return tag == QLatin1String(f.tag); });
        if (field == fields.end()) {
            values.warn(child, QCoreApplication::translate("xml_test_reader", "unknown field, ignored"));
            continue;
        }
        field->assign(child);
        seen.insert(tag);
    }
    for (const FieldBinding &field : fields) {
        if (field.required && !seen.contains(QLatin1String(field.tag))) {
            values.warn(record, QCoreApplication::translate("xml_test_reader", "missing <%1>, default used")
                                    .arg(QLatin1String(field.tag)));
        }
    }
}

// Binding helpers, so the record tables read as one line per field.
FieldBinding text(const char *tag, QString &target, bool required = false) {
    return {tag, [&target](const QDomElement &e) { target = elementValue(e); }, required};
}
FieldBinding integer(const char *tag, int32_t &target, ValueReader &v, bool required = false) {
    return {tag, [&target, &v](const QDomElement &e) { v.readInt(e, target); }, required};
}
FieldBinding real(const char *tag, float &target, ValueReader &v, bool required = false) {
    return {tag, [&target, &v](const QDomElement &e) { v.readFloat(e, target); }, required};
}
FieldBinding ignored(const char *tag) {
    return {tag, [](const QDomElement &) {}, false};
}

read_input_t readInputRecord(const QDomElement &element, ValueReader &v) {
    read_input_t r;
    readFields(
        element,
        {text("nombre", r.nombre),
         integer("add", r.add, v),
         integer("dir", r.dir, v, true),
         {"mult", [&](const QDomElement &e) { v.readIntAsFloat(e, r.mult); }, false},
         real("min", r.min, v, true),
         real("max", r.max, v, true),
         {"interactivo",
          [&](const QDomElement &e) { r.interactivo = v.readFlag(e, {QStringLiteral("si")}, {}); }, false},
         integer("reintentos", r.reintentos, v),
         integer("tiempo", r.tiempo, v)},
        v);
    return r;
}

read_holding_t readHoldingRecord(const QDomElement &element, ValueReader &v) {
    read_holding_t r;
    readFields(element,
               {text("nombre", r.nombre), integer("add", r.add, v), integer("dir", r.dir, v, true),
                integer("dat", r.dat, v, true), integer("reintentos", r.reintentos, v),
                integer("tiempo", r.tiempo, v)},
               v);
    return r;
}

write_register_t writeRegisterRecord(const QDomElement &element, ValueReader &v) {
    write_register_t r;
    readFields(element,
               {text("nombre", r.nombre), text("tipo", r.tipo), integer("add", r.add, v),
                integer("dir", r.dir, v, true), integer("dat", r.dat, v, true)},
               v);
    return r;
}

read_bit_t readBitRecord(const QDomElement &element, ValueReader &v) {
    read_bit_t r;
    readFields(
        element,
        {text("nombre", r.nombre),
         integer("add", r.add, v),
         integer("dir", r.dir, v, true),
         {"dat", [&](const QDomElement &e) { r.dat = v.readFlag(e, kBitOnTexts, kBitOffTexts); }, true}},
        v);
    return r;
}

write_coil_t writeCoilRecord(const QDomElement &element, ValueReader &v) {
    write_coil_t r;
    const auto readState = [&](const QDomElement &e) {
        r.dat = v.readFlag(e, kBitOnTexts, kBitOffTexts) ? kCoilOn : 0;
    };
    readFields(element,
               {text("nombre", r.nombre),
                text("tipo", r.tipo),
                integer("add", r.add, v, true),
                integer("dir", r.dir, v, true),
                {"dat", readState, true}},
               v);
    return r;
}

// An initial measurement has no range: its min and max are accepted and ignored.
diff_measure_t diffMeasureRecord(const QDomElement &element, bool final, ValueReader &v) {
    diff_measure_t r;
    FieldBindings fields{text("nombre", r.nombre), integer("add", r.add, v), integer("dir", r.dir, v, true),
                         integer("idx", r.idx, v, true)};
    if (final) {
        fields.push_back(real("min", r.min, v, true));
        fields.push_back(real("max", r.max, v, true));
    } else {
        fields.push_back(ignored("min"));
        fields.push_back(ignored("max"));
    }
    readFields(element, fields, v);
    return r;
}

comm_step_t commRecord(const QDomElement &element, ValueReader &v) {
    comm_step_t r;
    readFields(
        element,
        {text("nombre", r.nombre),
         {"action", [&](const QDomElement &e) { r.connect = v.readFlag(e, {QStringLiteral("connect")}, {}); },
          false}},
        v);
    diagnostic() << "nombre: " << r.nombre;
    diagnostic() << "accion: " << r.connect;
    return r;
}

// Walks the root's children and fills the definition, one step per step element.
class TestDocumentParser {
  public:
    TestDocumentParser(TestDefinition &def, ReadWarnings &warnings) : def_(def), values_(warnings) {}

    void parse(const QDomElement &root) {
        for (QDomElement e = root.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
            dispatch(e);
        }
    }

  private:
    using Handler = void (TestDocumentParser::*)(const QDomElement &);

    void dispatch(const QDomElement &e) {
        static const std::vector<std::pair<const char *, Handler>> handlers{
            {"config", &TestDocumentParser::readConfig},
            {"espera", &TestDocumentParser::readEspera},
            {"mensaje", &TestDocumentParser::readMensaje},
            {"img", &TestDocumentParser::readImg},
            {"comm", &TestDocumentParser::readComm},
            {"max_com_fails", &TestDocumentParser::skip},
            {"ReadInputRegisters", &TestDocumentParser::readInput},
            {"ReadHoldingRegisters", &TestDocumentParser::readHolding},
            {"WriteSingleRegister", &TestDocumentParser::readWriteRegister},
            {"ReadCoil", &TestDocumentParser::readCoil},
            {"ReadDiscreteInput", &TestDocumentParser::readDiscreteInput},
            {"WriteSingleCoil", &TestDocumentParser::readWriteCoil},
            {"loop_start", &TestDocumentParser::readLoopStart},
            {"stop_on_fail", &TestDocumentParser::readStopOnFail},
            {"loop_stop", &TestDocumentParser::readLoopStop},
            {"is_comm_updated", &TestDocumentParser::readCommUpdated},
            {"differential_measure_initial", &TestDocumentParser::readDiffInitial},
            {"differential_measure_final", &TestDocumentParser::readDiffFinal},
            {"stop_if_alarm", &TestDocumentParser::readStopIfAlarm},
            {"serial_number", &TestDocumentParser::readSerialNumber},
        };
        const QString tag = e.tagName();
        for (const auto &[name, handler] : handlers) {
            if (tag == QLatin1String(name)) {
                (this->*handler)(e);
                return;
            }
        }
        values_.warn(e, QCoreApplication::translate("xml_test_reader", "unknown element, skipped"));
    }

    template <typename Record>
    void addRecordStep(int kind, QVector<Record> &list, const Record &record) {
        def_.steps.append({kind, int32_t(list.size())});
        list.append(record);
    }

    // A step whose text is not an integer is listed without a value, so its index points
    // at the next value of its kind; validation rejects such a test before it runs.
    void readIntegerStep(const QDomElement &e, int kind, QVector<int> &list, const char *okLabel,
                         const char *errorLabel) {
        def_.steps.append({kind, int32_t(list.size())});
        const QString text = elementValue(e);
        bool ok = false;
        const int value = text.toInt(&ok, 10);
        if (ok) {
            list.append(value);
            if (okLabel) {
                diagnostic() << okLabel << value;
            }
            return;
        }
        diagnostic() << errorLabel << text;
        values_.warn(e, QCoreApplication::translate("xml_test_reader",
                                                    "\"%1\" is not an integer, the step has no value")
                            .arg(text));
    }

    void readConfig(const QDomElement &e) {
        TestConfig &c = def_.config;
        const auto flag = [this](bool &target) {
            return [this, &target](const QDomElement &child) {
                target = values_.readFlag(child, kTrueTexts, kFalseTexts);
            };
        };
        const auto timeout = [this, &c](const QDomElement &child) {
            if (!values_.readInt(child, c.com_timeout)) {
                c.com_timeout = 0;
            }
        };
        readFields(e,
                   {text("com_port", c.com_port),
                    {"com_timeout", timeout, false},
                    text("title", c.title),
                    text("log_name", c.log_name),
                    {"full_log", flag(c.full_log), false},
                    {"summary_log", flag(c.summary_log), false},
                    {"result_log", flag(c.result_log), false},
                    integer("cont_fails", c.cont_fails, values_)},
                   values_);
    }

    void readEspera(const QDomElement &e) {
        readIntegerStep(e, StepEspera, def_.espera, "read_espera: ", "ERROR read_espera: ");
    }
    void readCommUpdated(const QDomElement &e) {
        readIntegerStep(e, StepIsCommUpdated, def_.isCommUpdated, nullptr, "ERROR read_comm_updated: ");
    }
    void readStopIfAlarm(const QDomElement &e) {
        readIntegerStep(e, StepStopIfAlarm, def_.stopIfAlarm, "stop_if_alarm: ", "ERROR stop_if_alarm: ");
    }

    void readMensaje(const QDomElement &e) {
        def_.steps.append({StepMensaje, int32_t(def_.mensaje.size())});
        def_.mensaje.append(elementValue(e));
        diagnostic() << "mensaje leido";
    }
    void readImg(const QDomElement &e) {
        def_.steps.append({StepImg, int32_t(def_.img.size())});
        def_.img.append(elementValue(e));
    }

    void readComm(const QDomElement &e) { addRecordStep(StepComm, def_.comm, commRecord(e, values_)); }
    void readInput(const QDomElement &e) {
        addRecordStep(StepReadInputRegisters, def_.readInputs, readInputRecord(e, values_));
    }
    void readHolding(const QDomElement &e) {
        addRecordStep(StepReadHoldingRegisters, def_.readHoldings, readHoldingRecord(e, values_));
    }
    void readWriteRegister(const QDomElement &e) {
        addRecordStep(StepWriteSingleRegister, def_.writeRegisters, writeRegisterRecord(e, values_));
    }
    void readCoil(const QDomElement &e) {
        addRecordStep(StepReadCoil, def_.readCoils, readBitRecord(e, values_));
    }
    void readDiscreteInput(const QDomElement &e) {
        addRecordStep(StepReadDiscreteInput, def_.readDiscreteInputs, readBitRecord(e, values_));
    }
    void readWriteCoil(const QDomElement &e) {
        addRecordStep(StepWriteSingleCoil, def_.writeCoils, writeCoilRecord(e, values_));
    }
    void readDiffInitial(const QDomElement &e) {
        diagnostic() << "read_differential_measure_initial";
        addRecordStep(StepDiffMeasureInitial, def_.diffMeasures, diffMeasureRecord(e, false, values_));
    }
    void readDiffFinal(const QDomElement &e) {
        addRecordStep(StepDiffMeasureFinal, def_.diffMeasures, diffMeasureRecord(e, true, values_));
    }

    void readLoopStart(const QDomElement &e) {
        int32_t iterations = 0;
        if (!values_.readInt(e, iterations)) {
            return;
        }
        if (def_.loopStart != -1) {
            values_.warn(
                e, QCoreApplication::translate(
                       "xml_test_reader", "only one loop is possible, this one replaces the earlier start"));
        }
        def_.loopIterations = iterations;
        def_.loopStart = def_.steps.size() + 1;
        diagnostic() << "n iteraciones: " << def_.loopIterations;
        diagnostic() << "loop start: " << def_.loopStart;
    }

    void readLoopStop(const QDomElement &e) {
        if (def_.loopStop != -1) {
            values_.warn(
                e, QCoreApplication::translate(
                       "xml_test_reader", "only one loop is possible, this one replaces the earlier stop"));
        }
        def_.loopStop = def_.steps.size();
    }

    void readStopOnFail(const QDomElement &e) {
        def_.stopOnFail = values_.readFlag(e, kTrueTexts, kFalseTexts);
    }

    void readSerialNumber(const QDomElement &e) {
        def_.steps.append({StepSerialNumber, 0});
        SerialRule &rule = def_.serial;
        const auto separator = [this, &rule](const QDomElement &child) {
            const QString text = elementValue(child);
            rule.separator = text.isEmpty() ? QLatin1Char(' ') : text.at(0);
            if (text.size() > 1) {
                values_.warn(child, QCoreApplication::translate("xml_test_reader",
                                                                "only the first character of \"%1\" is used")
                                        .arg(text));
            }
        };
        readFields(e,
                   {integer("numchar", rule.numchar, values_, true),
                    integer("numparts", rule.numparts, values_, true),
                    {"separator", separator, true}},
                   values_);
    }

    void skip(const QDomElement &) {}

    TestDefinition &def_;
    ValueReader values_;
};

}  // namespace

xml_test_reader::xml_test_reader(QObject *parent) : QObject(parent) {}

bool xml_test_reader::readTestFile(const QString &path, TestDefinition &def) {
    warnings_.clear();
    def.clearSteps();
    diagnostic() << "file: " << path;
    QByteArray xml;
    QString error;
    if (!domguard::readFile(path, &xml, &error)) {
        warnings_.append({0, QString(), error});
        return false;
    }
    diagnostic() << "el fichero existe";
    return parse(xml, path, def);
}

bool xml_test_reader::readTestData(const QByteArray &xml, TestDefinition &def) {
    warnings_.clear();
    def.clearSteps();
    return parse(xml, QString(), def);
}

bool xml_test_reader::parse(const QByteArray &xml, const QString &path, TestDefinition &def) {
    QDomDocument document;
    QString message;
    int line = 0;
    int column = 0;
    if (!domguard::setContent(document, xml, &message, &line, &column)) {
        diagnostic() << "lin " << line << " col " << column << " -> err: " << message;
        warnings_.append({line, QString(),
                          QCoreApplication::translate("xml_test_reader", "malformed XML at column %1: %2")
                              .arg(column)
                              .arg(message)});
        return false;
    }
    diagnostic() << "documento abierto: " << path;
    TestDocumentParser(def, warnings_).parse(document.documentElement());
    return true;
}
