#include "addressbook/parallel_pieces.h"

#include <exception>
#include <system_error>
#include <thread>
#include <vector>

namespace addressbook {

std::size_t ProcessorCount() {
    const unsigned count = std::thread::hardware_concurrency();
    return count > 0 ? count : 1;
}

void RunPieces(std::size_t count, const std::function<void(std::size_t)>& piece) {
    // Each piece writes only its own slot.
    std::vector<std::exception_ptr> failures(count);
    auto run = [&](std::size_t i) {
        try {
            piece(i);
        } catch (...) {
            failures[i] = std::current_exception();
        }
    };
    std::vector<std::thread> threads;
    std::vector<std::size_t> leftOver;  // pieces whose thread did not start
    for (std::size_t i = 1; i < count; ++i) {
        try {
            threads.emplace_back(run, i);
        } catch (const std::system_error&) {
            leftOver.push_back(i);
        }
    }
    if (count > 0) {
        run(0);
    }
    for (std::size_t i : leftOver) {
        run(i);
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    for (const std::exception_ptr& failure : failures) {
        if (failure) {
            std::rethrow_exception(failure);
        }
    }
}

}  // namespace addressbook
