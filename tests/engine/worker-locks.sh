#!/usr/bin/env bash
# worker-locks.sh NM OBJECT...: the install worker must never wait on a lock of the C++ runtime.
# The win32 thread model's locks wait on a semaphore from CreateSemaphoreW, which Windows 98 and ME
# only stub: there a contended lock excludes nobody. A function-local static with a dynamic
# initialiser takes one (__cxa_guard_acquire, which then throws), and so does every thread_local
# on its first use (emutls). The engine runs on the worker, so its objects may use neither.
set -u
nm=$1; shift
[ $# -gt 0 ] || { echo "worker locks FAILED: no engine objects given"; exit 1; }
bad=0
for obj in "$@"; do
  while read -r symbol; do
    # 32-bit x86 symbols carry one more leading underscore.
    case "$symbol" in
      __cxa_guard_acquire | ___cxa_guard_acquire) why="a function-local static with a dynamic initialiser" ;;
      __emutls_v.* | ___emutls_v.*) why="the thread_local ${symbol#*__emutls_v.}" ;;
      *) continue ;;
    esac
    echo "worker locks: $(basename "$obj") uses $why, which takes the runtime's lock: on Windows 98 and ME that lock excludes nobody (their CreateSemaphoreW is a stub)"
    bad=1
  done < <("$nm" "$obj" | awk '{print $NF}' | sort -u)
done
if [ $bad -ne 0 ]; then
  echo "worker locks FAILED"
  exit 1
fi
echo "worker locks passed: $# engine objects take no lock of the runtime"
