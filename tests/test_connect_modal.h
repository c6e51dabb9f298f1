// Acting on modal dialogs from a test: polls the modal stack from whatever
// event loop runs (a progress dialog, the dialog itself) and acts on the first
// dialog of the wanted type once it is visible. If none appears, whatever
// modal dialog is open at the end is rejected so that the test cannot hang,
// and the miss is recorded. Polling stops when the test drops the watch.
#ifndef TEST_CONNECT_MODAL_H
#define TEST_CONNECT_MODAL_H

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

struct ModalWatch {
    int acted = 0; // how many dialogs the action was run on
    bool missed = false;
};

template <class T>
void pollModal(std::weak_ptr<ModalWatch> weak, std::function<void(T *)> action, int attempts,
               int times)
{
    QTimer::singleShot(10, [weak, action, attempts, times]() {
        std::shared_ptr<ModalWatch> watch = weak.lock();
        if (!watch)
            return;
        T *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            ++watch->acted;
            action(dialog);
            if (times > 1)
                pollModal<T>(weak, action, 1000, times - 1);
            return;
        }
        if (attempts > 0) {
            pollModal<T>(weak, action, attempts - 1, times);
            return;
        }
        watch->missed = true;
        if (auto *other = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            other->reject();
    });
}

// Runs action on each of the next `times` showings of a modal dialog of type
// T (each within about 10 s). Keep the returned watch alive while waiting.
template <class T>
std::shared_ptr<ModalWatch> whenModal(std::function<void(T *)> action, int times = 1)
{
    auto watch = std::make_shared<ModalWatch>();
    pollModal<T>(watch, std::move(action), 1000, times);
    return watch;
}

#endif
