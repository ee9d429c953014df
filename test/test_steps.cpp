// The action of each step kind of a production test.
#include <QDebug>

#include "comm/modbus.h"
#include "map/numbertext.h"
#include "test/test_engine.h"

TestEngine::Outcome TestEngine::espera(int num, int seconds) {
    if (!m_waitTimer.isValid()) {
        say(tr("Esperando %1 segundos").arg(seconds));
        m_waitTimer.start();
        result(num, StepEspera, QStringLiteral(QT_TR_NOOP("- espera -")), 0, 0, seconds, 0);
        return Outcome::Stays;
    }
    const qint64 elapsed = m_waitTimer.elapsed();
    if (elapsed < qint64(seconds) * 1000) {
        result(num, StepEspera, QStringLiteral(QT_TR_NOOP("- espera -")), float(elapsed / 1000), 0, seconds,
               0);
        return Outcome::Stays;
    }
    m_waitTimer.invalidate();
    result(num, StepEspera, QStringLiteral(QT_TR_NOOP("- espera -")), seconds, 0, seconds, 0);
    return Outcome::Next;
}

bool TestEngine::valuesFresh(bool inputs, Outcome *outcome) {
    if (inputs ? m_inputsFresh : m_holdingsFresh) {
        m_staleTicks = 0;
        return true;
    }
    if (++m_staleTicks < kFreshWaitTicks) {
        *outcome = Outcome::Stays;
        return false;
    }
    m_staleTicks = 0;
    say(tr("FAILED: no fresh reading from the drive"));
    *outcome = Outcome::Fails;
    return false;
}

TestEngine::Outcome TestEngine::readInput(int num, const read_input_t &r) {
    Outcome waiting = Outcome::Stays;
    if (!valuesFresh(true, &waiting)) {
        if (waiting == Outcome::Fails) {
            result(num, StepReadInputRegisters, r.nombre, 0, r.min, r.max, -1);
        }
        return waiting;
    }
    say(tr("Lectura de entrada: %1. ").arg(r.nombre));
    const float v = inputValue(r.dir);
    if (r.min <= v && v <= r.max) {
        say(tr("OK"));
        result(num, StepReadInputRegisters, r.nombre, v, r.min, r.max, 1);
        return Outcome::Next;
    }
    say(tr("FALLO!. Rango (%1,%2); Leído %3")
            .arg(shortestFloatText(r.min), shortestFloatText(r.max), shortestFloatText(v)));
    result(num, StepReadInputRegisters, r.nombre, v, r.min, r.max, -1);
    return Outcome::Fails;
}

TestEngine::Outcome TestEngine::readHolding(int num, const read_holding_t &r) {
    Outcome waiting = Outcome::Stays;
    if (!valuesFresh(false, &waiting)) {
        if (waiting == Outcome::Fails) {
            result(num, StepReadHoldingRegisters, r.nombre, 0, r.dat, r.dat, -1);
        }
        return waiting;
    }
    say(tr("Lectura de parametro: %1").arg(r.nombre));
    const float scaled = m_worker->holdingValues().value(r.dir, 0.0f);
    const uint16_t word = m_worker->holdingWords().value(r.dir, 0);
    // The scaled value is the signed word times the multiplier, so dividing it back is the
    // word itself; comparing the word avoids the float quotient truncating 3 x 0.1 to 2.
    // A test may give the expected value signed or unsigned.
    const bool equal = r.dat == int16_t(word) || r.dat == int32_t(word);
    if (equal) {
        say(tr("Lectura de parametro OK"));
        result(num, StepReadHoldingRegisters, r.nombre, word, r.dat, r.dat, 1);
        return Outcome::Next;
    }
    say(tr("Lectura de parametro incorrecta! Esperado %1, Leído %2")
            .arg(r.dat)
            .arg(shortestFloatText(scaled)));
    result(num, StepReadHoldingRegisters, r.nombre, word, r.dat, r.dat, -1);
    return Outcome::Fails;
}

TestEngine::Outcome TestEngine::writeRegister(int num, const write_register_t &r) {
    if (m_write.ticket != 0) {
        return judgeWrite(num, StepWriteSingleRegister, r.nombre, r.dat);
    }
    say(tr("Escritura de parametro: %1").arg(r.nombre));
    result(num, StepWriteSingleRegister, r.nombre, r.dat, 0, 0, 0);
    // The register range was checked when the test was loaded.
    m_write = WriteWait{};
    m_write.ticket = m_worker->queueHoldingWrite(r.dir, r.dat & 0xFFFF, true);
    if (m_write.ticket == 0) {
        return judgeWrite(num, StepWriteSingleRegister, r.nombre, r.dat);
    }
    return Outcome::Stays;
}

TestEngine::Outcome TestEngine::judgeWrite(int num, int kind, const QString &name, float value) {
    const bool refused = m_write.ticket == 0;
    if (!refused && !m_write.finished && ++m_write.ticksWaited < kWriteWaitTicks) {
        return Outcome::Stays;
    }
    const bool ok = m_write.finished && m_write.ok;
    m_write = WriteWait{};
    if (!ok) {
        say(tr("FAILED: the drive did not take the write"));
        result(num, kind, name, value, 0, 0, -1);
        return Outcome::Fails;
    }
    m_chainNext = true;
    return Outcome::Next;
}

// The result carries the bit read (-1 when the drive did not answer) against the expected one.
TestEngine::Outcome TestEngine::readBit(int num, bool coil, const read_bit_t &r) {
    const int kind = coil ? StepReadCoil : StepReadDiscreteInput;
    const float expected = r.dat ? 1 : 0;
    if (!m_bitRead.pending) {
        say(coil ? tr("Lectura RC: %1").arg(r.nombre) : tr("Lectura entrada discreta: %1").arg(r.nombre));
        m_bitRead = BitRead{};
        m_bitRead.pending = true;
        m_worker->readBits(coil, r.dir, 1);
        return Outcome::Stays;
    }
    if (!m_bitRead.arrived) {
        if (++m_bitRead.ticksWaited < kBitReadTicks) {
            return Outcome::Stays;
        }
        m_bitRead = BitRead{};
        say(coil ? tr("Lectura coil: el equipo no responde")
                 : tr("Lectura entrada discreta: el equipo no responde"));
        result(num, kind, r.nombre, -1, expected, expected, -1);
        return Outcome::Fails;
    }
    const bool state = m_bitRead.state;
    m_bitRead = BitRead{};
    if (state == r.dat) {
        say(coil ? tr("Lectura coil ok") : tr("Lectura entrada discreta OK"));
        result(num, kind, r.nombre, state ? 1 : 0, expected, expected, 1);
        return Outcome::Next;
    }
    const QString text = coil ? tr("Lectura coil incorrecta! Esperado %1, Leído %2")
                              : tr("Lectura entrada discreta incorrecta! Esperado %1, Leído %2");
    say(text.arg(r.dat ? 1 : 0).arg(state ? 1 : 0));
    result(num, kind, r.nombre, state ? 1 : 0, expected, expected, -1);
    return Outcome::Fails;
}

TestEngine::Outcome TestEngine::writeCoil(int num, const write_coil_t &r) {
    if (m_write.ticket != 0) {
        return judgeWrite(num, StepWriteSingleCoil, r.nombre, r.dat);
    }
    say(tr("Escritura WSC: %1").arg(r.nombre));
    result(num, StepWriteSingleCoil, r.nombre, r.dat, 0, 0, 0);
    qDebug() << "device address: " << r.add << "coil address: " << r.dir << "data: " << r.dat;
    // The worker's own echo speaks of holding registers; this write is a coil.
    say(tr("Writing coil %1 %2 on device %3")
            .arg(r.dir & 0xFFFF)
            .arg(r.dat != 0 ? tr("ON (0xFF00)") : tr("OFF (0x0000)"))
            .arg(r.add & 0xFF));
    m_write = WriteWait{};
    m_write.ticket = m_worker->queueCoilWrite(r.add & 0xFF, r.dir & 0xFFFF, r.dat, false);
    if (m_write.ticket == 0) {
        return judgeWrite(num, StepWriteSingleCoil, r.nombre, r.dat);
    }
    return Outcome::Stays;
}

TestEngine::Outcome TestEngine::isCommUpdated(int seconds) {
    if (!m_waitTimer.isValid()) {
        say(tr("Esperando %1 segundos y comprobando comunicación").arg(seconds));
        m_commUpdated = false;
        m_waitTimer.start();
        return Outcome::Stays;
    }
    if (m_waitTimer.elapsed() < qint64(seconds) * 1000) {
        return Outcome::Stays;
    }
    m_waitTimer.invalidate();
    return m_commUpdated ? Outcome::Next : Outcome::Fails;
}

TestEngine::Outcome TestEngine::diffInitial(int num, const diff_measure_t &r) {
    Outcome waiting = Outcome::Stays;
    if (!valuesFresh(true, &waiting)) {
        return waiting;
    }
    const float v = inputValue(r.dir);
    say(tr("Inicio medida dif.  %1. Valor: %2").arg(r.nombre, shortestFloatText(v)));
    if (m_slots.size() <= r.idx) {
        m_slots.resize(r.idx + 1);
    }
    m_slots[r.idx] = v;
    result(num, StepDiffMeasureInitial, r.nombre, v, 0, 0, 0);
    return Outcome::Next;
}

TestEngine::Outcome TestEngine::diffFinal(int num, const diff_measure_t &r) {
    Outcome waiting = Outcome::Stays;
    if (!valuesFresh(true, &waiting)) {
        return waiting;
    }
    const float a = m_slots.value(r.idx, 0.0f);
    const float b = inputValue(r.dir);
    const float d = b - a;
    say(tr("Fin medida diferencial: %1. Inicio: %2 Fin: %3 Incremento: %4. ")
            .arg(r.nombre, shortestFloatText(a), shortestFloatText(b), shortestFloatText(d)));
    if (r.min <= d && d <= r.max) {
        say(tr("OK"));
        result(num, StepDiffMeasureFinal, r.nombre, d, r.min, r.max, 1);
        return Outcome::Next;
    }
    say(tr("FALLO!. Rango (%1, %2); Leido %3")
            .arg(shortestFloatText(r.min), shortestFloatText(r.max), shortestFloatText(d)));
    result(num, StepDiffMeasureFinal, r.nombre, d, r.min, r.max, -1);
    return Outcome::Fails;
}

TestEngine::Outcome TestEngine::stopIfAlarm(int position) {
    if (position > 0) {
        m_worker->setAlarmCheck(true, position);
        say(tr("Una alarma en el registro %1 parará inmediatamente el test").arg(position));
    } else {
        m_worker->setAlarmCheck(false, 0);
        say(tr("El test no será detenido aunque haya alarma"));
    }
    return Outcome::Next;
}

TestEngine::Outcome TestEngine::serialNumber(int num) {
    const SerialRule &rule = m_def.serial;
    const int length = m_serial.toUcs4().size();  // characters, not UTF-16 units
    const int parts = m_serial.count(rule.separator) + 1;
    qDebug() << "serial size: " << length << "expected size: " << rule.numchar << "serial parts: " << parts
             << "expected parts: " << rule.numparts;
    if (length == rule.numchar && parts == rule.numparts) {
        result(num, StepSerialNumber, QStringLiteral(QT_TR_NOOP("Numero de serie:")), 1, 1, 1, 0);
        say(tr("Numero de serie correcto"));
        return Outcome::Next;
    }
    result(num, StepSerialNumber, QStringLiteral(QT_TR_NOOP("Numero de serie:")), 0, 1, 1, 0);
    say(tr("Numero de serie INCORRECTO!"));
    say(tr("Tamaño esperado: %1; tamaño leído: %2").arg(rule.numchar).arg(length));
    say(tr("Bloques esperado: %1; bloques leídos: %2").arg(rule.numparts).arg(parts));
    return Outcome::Fails;
}
