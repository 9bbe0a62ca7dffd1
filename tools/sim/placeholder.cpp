// PLACEHOLDER: replaced by the simulator library.
