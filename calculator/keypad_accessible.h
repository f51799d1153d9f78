#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace pq::calc {

// Makes each key of a keypad a button for screen readers, named by its long
// name (or its label) and pressed through the accessibility action.
QAccessibleInterface* KeyPadAccessibleFactory(const QString& className, QObject* object);

// Installs the factory once.
void InstallKeyPadAccessibility();

} // namespace pq::calc
