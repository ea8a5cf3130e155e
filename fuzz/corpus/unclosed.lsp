(defun open (x)
  (setq s "never closed)
(defun lost () 1)
;| and a block |; ;| never closed
