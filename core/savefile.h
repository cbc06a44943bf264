#ifndef FOLVANE_SAVEFILE_H
#define FOLVANE_SAVEFILE_H

#include <QSaveFile>

namespace Folvane {

// QSaveFile::commit() misses a write that fails while the buffer is flushed
// on close (a full disk) and renames the short file over the previous one.
// Flushing first lets such a failure refuse the commit; the previous file
// stays.
inline bool commitWhole(QSaveFile& file)
{
    return file.flush() && file.commit();
}

} // namespace Folvane

#endif
