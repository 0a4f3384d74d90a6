// Implemented by the rules work.
