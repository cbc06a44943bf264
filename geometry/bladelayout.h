#ifndef FOLVANE_BLADELAYOUT_H
#define FOLVANE_BLADELAYOUT_H

#include <QString>
#include <QStringList>
#include <vector>

namespace Folvane {

// Where a web stands: the profiles it spans (first to last, by index) and
// the region boundaries it is attached to (-1 when it has none).
struct LayoutWeb
{
    QString name;
    int firstProfile = -1;
    int lastProfile = -1;
    int startRegion = -1;
    int endRegion = -1;
};

// What the profiles need to know of the blade they belong to: its regions
// around the profile, its mesh size and its webs. The document answers.
class BladeLayout
{
public:
    virtual int regionCount() const = 0;
    virtual QStringList regionNames() const = 0;
    virtual double meshSize() const = 0;
    virtual std::vector<LayoutWeb> layoutWebs() const = 0;

protected:
    ~BladeLayout() = default;
};

} // namespace Folvane

#endif
