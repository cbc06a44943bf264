#ifndef FOLVANE_LINKERCOLUMNS_H
#define FOLVANE_LINKERCOLUMNS_H

#include "core/linker.h"
#include "core/tablecolumns.h"

namespace Folvane {

// Columns of a linked value: a cell reads as the linker itself, so that a
// view shows its expression and value both.
template <typename Owner>
using LinkerOf = Linker* (Owner::*)() const;

template <typename Owner>
TableColumn<Owner*> linkerColumn(QByteArray name, LinkerOf<Owner> linker)
{
    return {std::move(name), [linker](const Owner* owner) { return QVariant::fromValue((owner->*linker)()); }};
}

// A linked value written through set.
template <typename Owner>
TableColumn<Owner*> writtenLinkerColumn(QByteArray name, LinkerOf<Owner> linker, void (*set)(Linker*, const QVariant&))
{
    TableColumn<Owner*> column = linkerColumn(std::move(name), linker);
    column.write = [linker, set](Owner* owner, const QVariant& value) {
        set((owner->*linker)(), value);
        return QString();
    };
    return column;
}

// Written as an expression, which may name parameters.
template <typename Owner>
TableColumn<Owner*> expressionColumn(QByteArray name, LinkerOf<Owner> linker)
{
    return writtenLinkerColumn<Owner>(std::move(name), linker,
                                      [](Linker* l, const QVariant& v) { l->setExp(v.toString()); });
}

// Written as a plain number.
template <typename Owner>
TableColumn<Owner*> numberColumn(QByteArray name, LinkerOf<Owner> linker)
{
    return writtenLinkerColumn<Owner>(std::move(name), linker,
                                      [](Linker* l, const QVariant& v) { l->setValue(v.toDouble()); });
}

} // namespace Folvane

#endif
