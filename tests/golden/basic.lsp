;;; sample.lsp - drawing helpers
;;; ------------------------------

;; area of a rectangle
(defun area (w h / a)
  (setq a (* w h))
  a)

; 図形を描くコマンド
(defun c:Draw (/ pt)
  (setq pt (getpoint "\n点を指定: "))
  (command "_.circle" pt 10)
  (princ))

(defun outer (x y
              / tmp)
  (defun inner2 (z) (* z 2))
  (defun Helper (q) q)
  (setq tmp (inner2 x)) ;| block
   comment (defun ghost () 1) |;
  (+ tmp y))

(defun c:test (x) (princ "a;b") (princ))
(DEFUN Zeta () (/ 1 2))
(defun bare ()
  "string with ) paren"
  nil)
