#pragma once

#include <QString>

class QComboBox;

// The serial-port combo box of the "Comm" toolbar.
namespace portlist {

// One entry per port the system lists ("name - description", the port name as data). Ports
// the system does not list (ptys, ser2net, adapters not enumerated yet) are reachable through
// savedPort: when it names an existing path that is not listed, it is offered as its own entry.
// With selectSaved, the entry whose text or port name equals savedPort becomes current.
void fill(QComboBox *combo, const QString &savedPort, bool selectSaved);

// The port name of the current entry; empty when the list is empty.
QString currentPortName(const QComboBox *combo);

}  // namespace portlist
