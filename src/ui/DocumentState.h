#pragma once
// The storm as a document: the file it belongs to, whether it has changes that are not in
// that file, and the history of its changes for undo and redo. The window applies the
// states; this keeps track of them.
#include "core/StormModel.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPoint>
#include <functional>

class QAction;
class QUndoStack;

class StormDocument : public QObject {
    Q_OBJECT
public:
    // How the window shows a storm (and recomputes it) and where it puts the chart labels.
    using ShowModel = std::function<void(const TExpressionObject &)>;
    using PlaceLabels = std::function<void(const QList<QPoint> &)>;
    StormDocument(ShowModel showModel, PlaceLabels placeLabels, QObject *parent);

    QString fileName() const { return fileOf.value(revision); }
    // The file name as the title shows it: the name without its folder, or 未命名.
    QString displayName() const;
    // Changes not in the file; the storm the window starts with holds no work until it is
    // named, so going back to it leaves nothing to save.
    bool isModified() const { return revision != savedRevision && !(revision == 0 && fileName().isEmpty()); }
    QUndoStack *undoStack() const { return stack; }

    // A storm confirmed in the new-storm dialog: shown, unnamed, changed.
    void newStorm(const TExpressionObject &before, const TExpressionObject &after);
    // A file read: shown under its name, with no changes.
    void opened(const QString &path, const TExpressionObject &before, const TExpressionObject &after);
    // The labels dragged (already where they are) or put back by the command `text`.
    void labelsMoved(const QString &text, const QList<QPoint> &before, const QList<QPoint> &after);
    // The storm as it is now was written to `path`, which becomes its file.
    void saved(const QString &path);

    // 撤销 / 重做 with the name of the change they take back or make again, disabled when
    // there is none. `run` runs the step, so its failures are reported like any command's.
    QAction *makeUndoAction(QObject *parent, const std::function<void(const std::function<void()> &)> &run);
    QAction *makeRedoAction(QObject *parent, const std::function<void(const std::function<void()> &)> &run);

signals:
    // The file name or the mark of changes may be different now.
    void stateChanged();

private:
    friend class StormChange;
    void enter(int state, const TExpressionObject &model);
    void pushStormChange(const QString &text, const TExpressionObject &before, const TExpressionObject &after,
                         const QString &file);

    ShowModel showModel;
    PlaceLabels placeLabels;
    QUndoStack *stack;
    // Every state of the storm gets a number; the file it belongs to is kept per state, so
    // that undo and redo bring back the name with the storm.
    int revision = 0;
    int savedRevision = 0;
    int lastRevision = 0;
    QHash<int, QString> fileOf;
};
