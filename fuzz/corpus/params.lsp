(defun f (
  a b
/ c)
  (+ a b))
(defun late
  (x)
  (defun inner () 1))
(defun g ((a)) 1)
