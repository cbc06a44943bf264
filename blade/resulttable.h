#ifndef FOLVANE_RESULTTABLE_H
#define FOLVANE_RESULTTABLE_H

#include <Eigen/Dense>
#include <QString>

namespace Folvane {

// A result table as -analyse writes it: its header line, then one row of
// 21 numbers per station (span location, area, volume, price, mass, def X,
// def Y, twist, von Mises, six stresses, six strains).
struct ResultTable
{
    static constexpr int Columns = 21;
    enum Column { Span = 0, Mass = 4, DefX = 5, DefY = 6, Twist = 7, VonMises = 8 };
    Eigen::MatrixXd rows;
};

// False, with the reason (and the line) in error, for a file that cannot
// be read, has another header, a row of another length, or a value that is
// not a finite number; a table must have a row.
bool readResultTable(const QString& path, ResultTable& table, QString& error);

} // namespace Folvane

#endif
