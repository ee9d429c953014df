#include "test/test_validation.h"

#include <QCoreApplication>
#include <QSet>
#include <limits>

namespace {

constexpr int kMaxWritableHolding = 255;  // a write step carries its register in 8 bits
constexpr int kMaxServerAddress = 247;
constexpr int kMaxBitAddress = 0xFFFF;

constexpr int kNoLimit = std::numeric_limits<int>::max();

QString rangeText(int low, int high) {
    if (high == kNoLimit) {
        return QCoreApplication::translate("TestValidation", "%1 or more").arg(low);
    }
    return high < low ? QCoreApplication::translate("TestValidation", "there are none")
                      : QCoreApplication::translate("TestValidation", "%1 to %2").arg(low).arg(high);
}

// The last position of a list of `count`, none when the map is not known.
int lastPosition(int count) {
    return count == kMapNotKnown ? kNoLimit : count - 1;
}

// Walks the step list in order, as the engine will, collecting every problem.
class DefinitionValidator {
  public:
    DefinitionValidator(const TestDefinition &def, int inputCount, int holdingCount)
        : def_(def), inputCount_(inputCount), holdingCount_(holdingCount) {}

    QStringList run() {
        if (def_.steps.isEmpty()) {
            problems_.append(QCoreApplication::translate("TestValidation", "the test has no steps"));
        }
        for (int i = 0; i < def_.steps.size(); ++i) {
            checkStep(i, def_.steps.at(i));
        }
        checkLoop();
        return problems_;
    }

  private:
    void checkStep(int position, const test_step_t &step) {
        const QString element = stepElementName(step.kind);
        stepName_ = element.isEmpty()
                        ? QCoreApplication::translate("TestValidation", "step %1").arg(position + 1)
                        : QCoreApplication::translate("TestValidation", "step %1 <%2>")
                              .arg(position + 1)
                              .arg(element);
        if (element.isEmpty()) {
            report(QCoreApplication::translate("TestValidation", "unknown step kind %1").arg(step.kind));
            return;
        }
        if (step.kind == StepSerialNumber) {
            return;
        }
        if (step.index < 0 || step.index >= def_.listSize(step.kind)) {
            report(QCoreApplication::translate("TestValidation",
                                               "has no value of its own (its text is not an integer)"));
            return;
        }
        checkRecord(step);
    }

    void checkRecord(const test_step_t &step) {
        const int i = step.index;
        switch (step.kind) {
            case StepEspera:
                checkWait(def_.espera.at(i));
                break;
            case StepIsCommUpdated:
                checkWait(def_.isCommUpdated.at(i));
                break;
            case StepReadInputRegisters:
                checkReadInput(def_.readInputs.at(i));
                break;
            case StepReadHoldingRegisters:
                checkHolding(def_.readHoldings.at(i).dir);
                break;
            case StepWriteSingleRegister:
                checkWriteRegister(def_.writeRegisters.at(i));
                break;
            case StepReadCoil:
                checkBitAddress(def_.readCoils.at(i).dir, "coils");
                break;
            case StepReadDiscreteInput:
                checkBitAddress(def_.readDiscreteInputs.at(i).dir, "discrete inputs");
                break;
            case StepWriteSingleCoil:
                checkWriteCoil(def_.writeCoils.at(i));
                break;
            case StepDiffMeasureInitial:
                checkInitialMeasure(def_.diffMeasures.at(i));
                break;
            case StepDiffMeasureFinal:
                checkFinalMeasure(def_.diffMeasures.at(i));
                break;
            case StepStopIfAlarm:
                checkAlarmRegister(def_.stopIfAlarm.at(i));
                break;
            default:
                break;  // messages, images and comm steps can always run
        }
    }

    void checkHolding(int dir) { checkRange("dir", dir, 0, lastPosition(holdingCount_), "holdings"); }
    void checkBitAddress(int dir, const char *what) { checkRange("dir", dir, 0, kMaxBitAddress, what); }

    void checkWait(int seconds) {
        if (seconds < 0) {
            report(QCoreApplication::translate("TestValidation", "negative wait of %1 s").arg(seconds));
        }
    }

    void checkReadInput(const read_input_t &r) {
        checkRange("dir", r.dir, 0, lastPosition(inputCount_), "input registers");
        checkLimits(r.min, r.max);
    }

    void checkWriteRegister(const write_register_t &r) {
        checkRange("dir", r.dir, 0, kMaxWritableHolding, "holdings a test can write");
        if (r.dat < -32768 || r.dat > 0xFFFF) {
            report(QCoreApplication::translate("TestValidation",
                                               "dat %1 does not fit in a register (-32768 to 65535)")
                       .arg(r.dat));
        }
    }

    void checkWriteCoil(const write_coil_t &r) {
        checkRange("add", r.add, 0, kMaxServerAddress, "Modbus server addresses");
        checkRange("dir", r.dir, 0, kMaxBitAddress, "coils");
    }

    bool checkSlot(const diff_measure_t &r) {
        checkRange("dir", r.dir, 0, lastPosition(inputCount_), "input registers");
        return checkRange("idx", r.idx, 0, kMaxMeasureSlot, "measurement slots");
    }

    void checkInitialMeasure(const diff_measure_t &r) {
        if (checkSlot(r)) {
            storedSlots_.insert(r.idx);
        }
    }

    void checkFinalMeasure(const diff_measure_t &r) {
        if (checkSlot(r) && !storedSlots_.contains(r.idx)) {
            report(QCoreApplication::translate("TestValidation",
                                               "idx %1 has no differential_measure_initial before it")
                       .arg(r.idx));
        }
        checkLimits(r.min, r.max);
    }

    void checkAlarmRegister(int position) {
        if (position > 0) {  // zero or less turns the watch off
            checkRange("alarm register", position, 0, lastPosition(inputCount_), "input registers");
        }
    }

    bool checkRange(const char *field, int value, int low, int high, const char *what) {
        if (value >= low && value <= high) {
            return true;
        }
        report(QCoreApplication::translate("TestValidation", "%1 %2 is outside the %3 (%4)")
                   .arg(QLatin1String(field))
                   .arg(value)
                   .arg(QLatin1String(what), rangeText(low, high)));
        return false;
    }

    void checkLimits(float min, float max) {
        if (min > max) {
            report(QCoreApplication::translate("TestValidation",
                                               "min %1 is above max %2, the step can never pass")
                       .arg(min)
                       .arg(max));
        }
    }

    void checkLoop() {
        const bool started = def_.loopStart != -1;
        const bool stopped = def_.loopStop != -1;
        if (started != stopped) {
            problems_.append(
                started ? QCoreApplication::translate("TestValidation", "loop_start without loop_stop")
                        : QCoreApplication::translate("TestValidation", "loop_stop without loop_start"));
            return;
        }
        if (!started) {
            return;
        }
        if (def_.loopStart > def_.loopStop + 1) {
            problems_.append(
                QCoreApplication::translate("TestValidation", "loop_stop comes before loop_start"));
        }
        // A negative count would be taken as about four billion passes.
        if (def_.loopIterations < 0) {
            problems_.append(
                QCoreApplication::translate(
                    "TestValidation",
                    "loop_start asks for %1 iterations: 0 or 1 run the loop once, more repeat it")
                    .arg(def_.loopIterations));
        }
    }

    void report(const QString &text) { problems_.append(stepName_ + QStringLiteral(": ") + text); }

    const TestDefinition &def_;
    const int inputCount_;
    const int holdingCount_;
    QString stepName_;
    QSet<int> storedSlots_;
    QStringList problems_;
};

}  // namespace

QStringList validateTestDefinition(const TestDefinition &def, int inputCount, int holdingCount) {
    return DefinitionValidator(def, inputCount, holdingCount).run();
}
