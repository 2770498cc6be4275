// The top-level window of a dialog or sheet. It hands OK (Enter with no
// default button) and Cancel (Esc, the close box) to its owner, which
// decides whether the dialog ends.
#pragma once

#include <QDialog>
#include <functional>

class DialogWindow : public QDialog {
 public:
  DialogWindow(QWidget* parent, std::function<void()> onOk, std::function<void()> onCancel);

  void accept() override;
  void reject() override;
  // Ends the modal loop (or hides a modeless window) with the result.
  void Finish(int result) { QDialog::done(result); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool PressDefaultButton();
  std::function<void()> m_onOk;
  std::function<void()> m_onCancel;
};
