// The top-level window of a dialog or sheet. It hands OK (Enter with no
// default button) and Cancel (Esc, the close box) to its owner, which
// decides whether the dialog ends.
#pragma once

#include <QDialog>
#include <functional>

class QPushButton;

class DialogWindow : public QDialog {
 public:
  DialogWindow(QWidget* parent, std::function<void()> onOk, std::function<void()> onCancel);

  void accept() override;
  void reject() override;
  // Marks a child dialog (a page) whose default button is its own: Enter
  // presses it only while the focus is inside.
  static void MarkOwnDefaultButtonArea(QWidget* area);
  // The default button of its dialog or page; Enter presses it.
  static void SetDefaultButton(QPushButton* button, bool isDefault);
  static bool IsDefaultButton(const QPushButton* button);
  // Ends the modal loop (or hides a modeless window) with the result.
  void Finish(int result) { QDialog::done(result); }

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  bool PressDefaultButton();
  QPushButton* DefaultButtonNearFocus() const;
  bool InOwnDefaultButtonArea(const QPushButton* button) const;
  std::function<void()> m_onOk;
  std::function<void()> m_onCancel;
};
