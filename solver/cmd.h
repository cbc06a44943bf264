#ifndef FOLVANE_CMD_H
#define FOLVANE_CMD_H

#include <QString>

namespace Folvane {

class Element;
class Model;
class TextBuffer;

// A solver input writer over one FE model, which it does not own.
class Cmd
{
public:
    // Names the model's objects for the decks, if no writer has yet.
    explicit Cmd(Model* model);
    virtual ~Cmd();
    Cmd(const Cmd&) = delete;
    Cmd& operator=(const Cmd&) = delete;

    // Appends the whole deck; full adds the analysis step of the load case.
    virtual void BuildInp(TextBuffer& out, bool full, int loadCase) = 0;
    // The deck without analysis step and loads, written to path; false,
    // with a message, when it cannot be written.
    bool BuildGeoInp(const QString& path);
    // The complete deck of one zero-based load case, written to path.
    bool BuildFullInp(const QString& path, int loadCase);

    Model* model() const { return m_model; }

protected:
    // The quadrilaterals after quadCard, then the triangles, if there are
    // any, after triCard; true when there were triangles.
    bool writeElementsByShape(TextBuffer& out, const char* quadCard, const char* triCard,
                              void (Element::*write)(TextBuffer&) const) const;

private:
    bool writeDeck(const QString& path, bool full, int loadCase, const char* operation);

    Model* m_model;
};

} // namespace Folvane

#endif
