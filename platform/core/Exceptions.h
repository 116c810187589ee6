// The platform's exception classes. Exceptions are thrown by value and caught
// by reference (`catch (EReadError& e)`); `Message` carries the text and
// ClassName() the platform class name, for handlers that show it.
#pragma once

#include "platform/core/System.h"
#include <exception>
#include <string>
#include <type_traits>

class Exception : public std::exception {
 public:
  Exception() = default;
  explicit Exception(String message) : Message(std::move(message)) {}
  Exception(String message, int helpContext) : Message(std::move(message)), HelpContext(helpContext) {}
  virtual ~Exception() = default;

  virtual const Char* ClassName() const { return L"Exception"; }
  // The message as UTF-8, for tools and test output.
  const char* what() const noexcept override;

  String Message;
  int HelpContext = 0;

 private:
  mutable std::string what_;
};

#define DECLARE_EXCEPTION(Name, Base)                               \
  class Name : public Base {                                        \
   public:                                                          \
    using Base::Base;                                               \
    const Char* ClassName() const override { return L"" #Name; }    \
  };

DECLARE_EXCEPTION(EAbort, Exception)             // silent: the application shows nothing
DECLARE_EXCEPTION(EConvertError, Exception)
DECLARE_EXCEPTION(EFilerError, Exception)
DECLARE_EXCEPTION(EReadError, EFilerError)
DECLARE_EXCEPTION(EWriteError, EFilerError)
DECLARE_EXCEPTION(EClassNotFound, EFilerError)
DECLARE_EXCEPTION(EMethodNotFound, EFilerError)
DECLARE_EXCEPTION(EInvalidImage, EFilerError)
DECLARE_EXCEPTION(EComponentError, Exception)
DECLARE_EXCEPTION(EInvalidOperation, Exception)
DECLARE_EXCEPTION(EInvalidCast, Exception)
DECLARE_EXCEPTION(EListError, Exception)
DECLARE_EXCEPTION(EStringListError, Exception)
DECLARE_EXCEPTION(EStreamError, Exception)
DECLARE_EXCEPTION(EFileStreamError, EStreamError)
DECLARE_EXCEPTION(EFCreateError, EFileStreamError)
DECLARE_EXCEPTION(EFOpenError, EFileStreamError)
DECLARE_EXCEPTION(EResNotFound, Exception)
DECLARE_EXCEPTION(EOutOfResources, Exception)
DECLARE_EXCEPTION(EOutOfMemory, Exception)
DECLARE_EXCEPTION(EAssertionFailed, Exception)
DECLARE_EXCEPTION(EIntError, Exception)
DECLARE_EXCEPTION(EDivByZero, EIntError)
DECLARE_EXCEPTION(ERangeError, EIntError)
DECLARE_EXCEPTION(EIntOverflow, EIntError)
DECLARE_EXCEPTION(EMathError, Exception)
DECLARE_EXCEPTION(EOverflow, EMathError)
DECLARE_EXCEPTION(EZeroDivide, EMathError)
DECLARE_EXCEPTION(EInvalidOp, EMathError)
DECLARE_EXCEPTION(EVariantError, Exception)
DECLARE_EXCEPTION(EVariantTypeCastError, EVariantError)
DECLARE_EXCEPTION(EVariantOverflowError, EVariantError)
DECLARE_EXCEPTION(EVariantInvalidArgError, EVariantError)
DECLARE_EXCEPTION(EVariantBadIndexError, EVariantError)
DECLARE_EXCEPTION(EVariantArrayLockedError, EVariantError)
DECLARE_EXCEPTION(EVariantUnexpectedError, EVariantError)
DECLARE_EXCEPTION(EIniFileException, Exception)
DECLARE_EXCEPTION(ERegistryException, Exception)
DECLARE_EXCEPTION(EThread, Exception)
DECLARE_EXCEPTION(ENotSupportedException, Exception)
DECLARE_EXCEPTION(EArgumentException, Exception)
DECLARE_EXCEPTION(EArgumentOutOfRangeException, EArgumentException)
DECLARE_EXCEPTION(EParserError, Exception)   // text form of the component stream

// An operating-system error with its code and the system's message text.
class EOSError : public Exception {
 public:
  using Exception::Exception;
  const Char* ClassName() const override { return L"EOSError"; }
  unsigned long ErrorCode = 0;
};

// Raises EOSError for the last Win32 error (or `code`), with the system's text.
[[noreturn]] void RaiseLastOSError();
[[noreturn]] void RaiseLastOSError(unsigned long code);
// Raises EAbort.
[[noreturn]] void Abort();
// The platform's Assert: raises EAssertionFailed naming the source file and line.
#define Assert(cond, msg) \
  ((cond) ? (void)0 : ::AssertFailed((msg), __FILE__, __LINE__))
[[noreturn]] void AssertFailed(const String& message, const char* file, int line);

// ---------------------------------------------------------------------------
// Callback boundaries
// ---------------------------------------------------------------------------
// An exception must never unwind through system frames: the toolchain's
// unwinder cannot cross them, and the system would skip its own clean-up.
// Every window procedure, hook procedure, enumeration procedure and COM method
// runs its body through GuardCallback (or catches everything and calls
// HandleCallbackException), which hands the exception to the process's
// callback exception handler and returns a value the system accepts.

// Receives the exception being handled (it is called inside a catch block).
using TCallbackExceptionHandler = void (*)(TObject* sender);
// Installs the handler (the GUI layer installs the application's exception
// handling at start-up); returns the previous one. Null restores the default,
// which drops the exception after writing its message to the debug output.
TCallbackExceptionHandler SetCallbackExceptionHandler(TCallbackExceptionHandler handler);
// Call inside a catch block: passes the exception being handled to the
// handler. Never raises; an exception from the handler itself is dropped.
void HandleCallbackException(TObject* sender = nullptr) noexcept;

// Runs `body`; when it raises, the exception goes to HandleCallbackException
// and `onError` is returned instead. (Constrained, so that a call of the
// overload below with a sender of a derived class, GuardCallback(body, app),
// does not land here.)
template <class R, class F>
  requires std::is_invocable_v<F&&>
R GuardCallback(R onError, F&& body, TObject* sender = nullptr) noexcept {
  try {
    return static_cast<F&&>(body)();
  } catch (...) {
    HandleCallbackException(sender);
    return onError;
  }
}
template <class F>
void GuardCallback(F&& body, TObject* sender = nullptr) noexcept {
  try {
    static_cast<F&&>(body)();
  } catch (...) {
    HandleCallbackException(sender);
  }
}
