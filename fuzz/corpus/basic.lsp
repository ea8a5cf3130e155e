(defun c:draw (/ pt)
  (setq pt (getpoint "\nPoint: "))
  (command "_.CIRCLE" pt 5)
  (princ))
;; area of a rectangle
(defun area (w h / a)
  (setq a (* w h)))
