#pragma once

class QDialog;

// Every modal show of a screen goes through this seam. The program runs the screen's own event loop; tests
// script what the user does inside the screen, which then closes, and the caller goes on in the same order.
class ModalHost {
public:
    virtual ~ModalHost() = default;
    // Shows the screen and returns when it has closed, with its result.
    virtual int showModal(QDialog* form) = 0;

    static int show(QDialog* form) { return instance().showModal(form); }
    static ModalHost& instance();
    // Installs a seam (not owned); nullptr goes back to the real modal loop.
    static void install(ModalHost* host);
};

class DialogModalHost : public ModalHost {
public:
    int showModal(QDialog* form) override;
};
