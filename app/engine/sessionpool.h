// The server sessions of one connection. A session serves one result at a time, so a statement
// that starts while another still streams reads on a session of its own; sessions freed by
// finished statements are kept, because a join of two tables of one server looks rows up in one
// while it reads the other, and connecting anew for each look-up would cost more than the look-up.
#pragma once

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

namespace morvale {

template <class THandle>
class TSessionPool {
 public:
  using TOpen = std::function<THandle*()>;
  using TClose = void (*)(THandle*);
  using TKeep = std::function<bool(THandle*)>;  // false for a session the server dropped

  // Opens the first session at once: a refused login fails the connection, not its first use.
  TSessionPool(TOpen open, TClose close, TKeep keep)
      : open_(std::move(open)), close_(close), keep_(std::move(keep)), first_(open_()) {}
  ~TSessionPool() {
    for (THandle* h : idle_) close_(h);
    close_(first_);
  }
  TSessionPool(const TSessionPool&) = delete;
  TSessionPool& operator=(const TSessionPool&) = delete;

  // The first session when it is free, else a kept one, else a new one.
  THandle* Acquire() {
    if (!busy_) {
      busy_ = true;
      return first_;
    }
    if (!idle_.empty()) {
      THandle* h = idle_.back();
      idle_.pop_back();
      return h;
    }
    return open_();
  }

  void Release(THandle* h) {
    if (h == first_)
      busy_ = false;
    else if (idle_.size() < kIdle && keep_(h))
      idle_.push_back(h);
    else
      close_(h);
  }

 private:
  static constexpr size_t kIdle = 4;
  TOpen open_;
  TClose close_;
  TKeep keep_;
  THandle* first_;
  bool busy_ = false;
  std::vector<THandle*> idle_;
};

// A session held for one statement: acquired when made, given back when it goes.
template <class TOwner, class THandle>
class TSessionLease {
 public:
  explicit TSessionLease(TOwner& owner) : owner_(owner), session_(owner.Acquire()) {}
  ~TSessionLease() { owner_.Release(session_); }
  TSessionLease(const TSessionLease&) = delete;
  TSessionLease& operator=(const TSessionLease&) = delete;
  THandle* Session() const { return session_; }

 private:
  TOwner& owner_;
  THandle* session_;
};

}  // namespace morvale
