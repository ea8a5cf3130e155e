(defun first () 1)
(defun second (a
  (+ a 1)
(defun third () 3)
(setq s "never closed
(defun hidden () 4)
