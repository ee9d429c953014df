#pragma once

#include <QString>

class QComboBox;

// The port combo box of the "Comm" toolbar. It is editable: besides the listed serial ports the
// user may type a device path or a Modbus TCP gateway as tcp://HOST[:PORT].
namespace portlist {

// One entry per port the system lists ("name - description", the port name as data). Ports
// the system does not list (ptys, ser2net, adapters not enumerated yet) and gateways are
// reachable through savedPort: when it names an existing path that is not listed, or a
// tcp:// endpoint, it is offered as its own entry. With selectSaved, the entry whose text or
// port name equals savedPort becomes current.
void fill(QComboBox *combo, const QString &savedPort, bool selectSaved);

// The port name of the current entry, or the text typed into the box; empty when there is none.
QString currentPortName(const QComboBox *combo);

// The text typed into the box when it is not one of the entries (to remember it), else empty.
QString typedPort(const QComboBox *combo);

}  // namespace portlist
