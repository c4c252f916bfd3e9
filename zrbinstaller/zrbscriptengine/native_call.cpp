#include "zrbinstaller/zrbscriptengine/native_call.h"

// uint32_t ZrbCallNative(const void* function, const uint32_t* words,
//                        uint32_t count, uint32_t* lastError)   -- cdecl
//
// Frame after the prologue (EBP-relative):
//   +20 lastError   +16 count   +12 words   +8 function   +4 return address
//    +0 caller's EBP            -4 caller's ESI
//
// EBP and ESI are callee-saved in both conventions, so they survive the call
// and carry the frame and the result across it. The stack pointer after the
// call is never trusted: it is rebuilt from EBP.
asm(R"(
    .text
    .globl  _ZrbCallNative
    .def    _ZrbCallNative; .scl 2; .type 32; .endef
    .p2align 4
_ZrbCallNative:
    .cfi_startproc
    pushl   %ebp
    .cfi_def_cfa_offset 8
    .cfi_offset %ebp, -8
    movl    %esp, %ebp
    .cfi_def_cfa_register %ebp
    pushl   %esi
    .cfi_offset %esi, -12

    movl    12(%ebp), %esi          # ESI = words
    movl    16(%ebp), %ecx          # ECX = count

    # Leave the stack 16-byte aligned at the call once all words are pushed
    # (the Windows ABI needs 4; code built for SSE is happier with 16).
    leal    0(,%ecx,4), %eax        # EAX = bytes of arguments
    movl    %esp, %edx
    subl    %eax, %edx
    andl    $-16, %edx
    addl    %eax, %edx
    movl    %edx, %esp

    # Push the words from the last to the first: words[0] ends up lowest,
    # right above the return address, as the first parameter.
    testl   %ecx, %ecx
    jz      2f
1:  pushl   -4(%esi,%ecx,4)
    decl    %ecx
    jnz     1b
2:
    call    *8(%ebp)
    movl    %eax, %esi              # keep the result

    # The last error, before anything else runs on this thread.
    call    *__imp__GetLastError@0
    movl    20(%ebp), %ecx
    movl    %eax, (%ecx)

    # A function that returns a floating-point value leaves it in ST(0); the
    # x87 stack must be empty again or later arithmetic overflows it. TOP is
    # bits 11-13 of the status word: 0 when the stack is empty, as every call
    # finds it, and 7 after one value was pushed.
    fnstsw  %ax
    testw   $0x3800, %ax
    jz      3f
    fstp    %st(0)
3:
    movl    %esi, %eax              # the result
    leal    -4(%ebp), %esp          # drop the arguments, whoever was to remove them
    popl    %esi
    popl    %ebp
    .cfi_def_cfa %esp, 4
    ret
    .cfi_endproc
)");
