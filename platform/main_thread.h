#pragma once
// The main (user interface) thread and the calls other threads make on it.
// Qt's widgets live on one thread only; a worker that must show something
// hands the work over and waits, as a Win32 thread would block in a
// cross-thread SendMessage.

#include <functional>

// Declares the calling thread the main thread. Until then it is the thread
// that ran the program's static initialisation, the one that runs main().
void MarkMainThread();
bool IsMainThread();

// Runs `call` on the main thread and returns when it has run. On the main
// thread itself it runs at once.
void CallOnMainThread(std::function<void()> call);

// Queues `call` for the main thread and returns at once (any thread; on
// the main thread too, where it runs at the next service).
void PostToMainThread(std::function<void()> call);

// Runs the calls waiting for the main thread. The window layer's event loop
// calls it; so does every wait made on the main thread.
void ServiceMainThreadCalls();

// Lets the event loop learn that a call is waiting (called from any thread).
void SetMainThreadWaker(std::function<void()> waker);
