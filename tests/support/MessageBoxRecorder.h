// Records every message box shown while it lives and answers each with a
// scripted button (IDOK unless told otherwise); header-only so any Qt test
// binary can use it.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "MessageBox.h"

class MessageBoxRecorder {
 public:
  MessageBoxRecorder() {
    m_previous = SetMessageBoxHook([this](const MessageBoxCall& call) {
      m_calls.push_back(call);
      if (m_answers.empty()) return IDOK;
      const int answer = m_answers.front();
      m_answers.pop_front();
      return answer;
    });
  }
  ~MessageBoxRecorder() { SetMessageBoxHook(m_previous); }
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  void Answer(int button) { m_answers.push_back(button); }
  const std::vector<MessageBoxCall>& Calls() const { return m_calls; }
  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& call : m_calls) texts.push_back(call.text);
    return texts;
  }
  void Clear() { m_calls.clear(); }

 private:
  MessageBoxHook m_previous;
  std::vector<MessageBoxCall> m_calls;
  std::deque<int> m_answers;
};
