#include "DocumentState.h"

#include <QAction>
#include <QFileInfo>
#include <QUndoCommand>
#include <QUndoStack>

// One change of the storm: the storm and its state number before and after.
class StormChange : public QUndoCommand {
public:
    StormChange(StormDocument &document, const QString &text, const TExpressionObject &before, int beforeState,
                const TExpressionObject &after, int afterState)
        : QUndoCommand(text), document(document), before(before), after(after), beforeState(beforeState),
          afterState(afterState)
    {
    }
    void undo() override { document.enter(beforeState, before); }
    void redo() override { document.enter(afterState, after); }

private:
    StormDocument &document;
    TExpressionObject before, after;
    int beforeState, afterState;
};

namespace {
// Where the chart's labels lie: not part of the storm, so no change of its state.
class LabelMove : public QUndoCommand {
public:
    LabelMove(const QString &text, StormDocument::PlaceLabels place, const QList<QPoint> &before,
              const QList<QPoint> &after)
        : QUndoCommand(text), place(std::move(place)), before(before), after(after)
    {
    }
    void undo() override { place(before); }
    void redo() override { place(after); }

private:
    StormDocument::PlaceLabels place;
    QList<QPoint> before, after;
};
} // namespace

StormDocument::StormDocument(ShowModel showModel, PlaceLabels placeLabels, QObject *parent)
    : QObject(parent), showModel(std::move(showModel)), placeLabels(std::move(placeLabels)), stack(new QUndoStack(this))
{
    stack->setUndoLimit(100);
}

QString StormDocument::displayName() const
{
    const QString file = fileName();
    return file.isEmpty() ? QStringLiteral("未命名") : QFileInfo(file).fileName();
}

void StormDocument::enter(int state, const TExpressionObject &model)
{
    revision = state;
    showModel(model);
    emit stateChanged();
}

void StormDocument::pushStormChange(const QString &text, const TExpressionObject &before, const TExpressionObject &after,
                                    const QString &file)
{
    const int next = ++lastRevision;
    fileOf.insert(next, file);
    stack->push(new StormChange(*this, text, before, revision, after, next));
}

void StormDocument::newStorm(const TExpressionObject &before, const TExpressionObject &after)
{
    pushStormChange(QStringLiteral("新建雨型"), before, after, QString());
}

void StormDocument::opened(const QString &path, const TExpressionObject &before, const TExpressionObject &after)
{
    pushStormChange(QStringLiteral("打开 %1").arg(QFileInfo(path).fileName()), before, after, path);
    savedRevision = revision;
    emit stateChanged();
}

void StormDocument::labelsMoved(const QString &text, const QList<QPoint> &before, const QList<QPoint> &after)
{
    if (before != after)
        stack->push(new LabelMove(text, placeLabels, before, after));
}

void StormDocument::saved(const QString &path)
{
    fileOf.insert(revision, path);
    savedRevision = revision;
    emit stateChanged();
}

namespace {
QAction *StepAction(QObject *parent, const QString &verb, bool can, const std::function<void()> &step,
                    const std::function<void(const std::function<void()> &)> &run)
{
    auto *action = new QAction(verb, parent);
    action->setEnabled(can);
    QObject::connect(action, &QAction::triggered, action, [run, step] { run(step); });
    return action;
}
} // namespace

QAction *StormDocument::makeUndoAction(QObject *parent, const std::function<void(const std::function<void()> &)> &run)
{
    QAction *action = StepAction(parent, QStringLiteral("撤销"), stack->canUndo(), [this] { stack->undo(); }, run);
    connect(stack, &QUndoStack::canUndoChanged, action, &QAction::setEnabled);
    connect(stack, &QUndoStack::undoTextChanged, action, [action](const QString &text) {
        action->setText(text.isEmpty() ? QStringLiteral("撤销") : QStringLiteral("撤销 ") + text);
    });
    return action;
}

QAction *StormDocument::makeRedoAction(QObject *parent, const std::function<void(const std::function<void()> &)> &run)
{
    QAction *action = StepAction(parent, QStringLiteral("重做"), stack->canRedo(), [this] { stack->redo(); }, run);
    connect(stack, &QUndoStack::canRedoChanged, action, &QAction::setEnabled);
    connect(stack, &QUndoStack::redoTextChanged, action, [action](const QString &text) {
        action->setText(text.isEmpty() ? QStringLiteral("重做") : QStringLiteral("重做 ") + text);
    });
    return action;
}
