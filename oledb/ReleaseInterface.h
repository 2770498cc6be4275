// Releases a raw interface reference and clears the pointer.
#pragma once

template <class T>
void ReleaseInterface(T*& pointer) {
  if (pointer) {
    pointer->Release();
    pointer = nullptr;
  }
}
